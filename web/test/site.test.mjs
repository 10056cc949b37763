// The site as built for publishing: each host's header file carries the headers
// the page needs from its host. (The worker's list of files and hashes is proved
// by every road's offline copy: one wrong hash and none is installed.)

import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { Site } from './harness.mjs';

// What each host must send, as its file says it.
const hostHeaders = [
    {
        file: '_headers',
        says: [
            /Content-Security-Policy: default-src 'none';.*frame-ancestors 'none'/,
            /X-Content-Type-Options: nosniff/,
            /\/\*\.wasm\n\s+Content-Type: application\/wasm/,
        ],
    },
    {
        file: '.htaccess',
        says: [
            /Header always set Content-Security-Policy "default-src 'none';.*frame-ancestors 'none'"/,
            /X-Content-Type-Options "nosniff"/,
            /AddType application\/wasm \.wasm/,
        ],
    },
    {
        file: 'nginx-vyxtool.conf',
        says: [
            /add_header Content-Security-Policy "default-src 'none';.*frame-ancestors 'none'" always;/,
            /add_header X-Content-Type-Options "nosniff" always;/,
            /types \{ application\/wasm wasm; \}/,
        ],
    },
];

for (const row of hostHeaders) {
    test(`${row.file}: the page's policy with frame-ancestors, no type sniffing, the module's type`, () => {
        const text = readFileSync(path.join(Site, row.file), 'utf8');
        for (const pattern of row.says) assert.match(text, pattern);
    });
}
