// The site as built for publishing: the worker's list holds every file of the
// page with its SHA-256 and nothing else, and each host's header file carries
// the headers the page needs from its host.

import assert from 'node:assert/strict';
import { createHash } from 'node:crypto';
import { readdirSync, readFileSync } from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { Site } from './harness.mjs';

const HostFiles = ['_headers', '.htaccess', 'nginx-vyxtool.conf'];

function siteFiles(dir = Site, prefix = '') {
    return readdirSync(dir, { withFileTypes: true }).flatMap((entry) =>
        entry.isDirectory() ? siteFiles(path.join(dir, entry.name), `${prefix}${entry.name}/`) : [`${prefix}${entry.name}`],
    );
}

test("the worker lists every file of the page with its SHA-256, the page's address as index.html", () => {
    const worker = readFileSync(path.join(Site, 'sw.js'), 'utf8');
    const listed = JSON.parse(worker.match(/^const Files = (.*);$/m)[1]);
    const expected = { './': null };
    for (const file of siteFiles().filter((f) => f !== 'sw.js' && !HostFiles.includes(f))) {
        expected[file] = createHash('sha256').update(readFileSync(path.join(Site, file))).digest('hex');
    }
    expected['./'] = expected['index.html'];
    assert.deepEqual(listed, expected);
    assert.ok(listed['vyx.wasm'] && listed['js/main.js']);
});

// What each host must send, as its file says it.
const hostHeaders = [
    { file: '_headers', says: [/Content-Security-Policy: default-src 'none';.*frame-ancestors 'none'/, /X-Content-Type-Options: nosniff/, /\/\*\.wasm\n\s+Content-Type: application\/wasm/] },
    { file: '.htaccess', says: [/Header always set Content-Security-Policy "default-src 'none';.*frame-ancestors 'none'"/, /X-Content-Type-Options "nosniff"/, /AddType application\/wasm \.wasm/] },
    {
        file: 'nginx-vyxtool.conf',
        says: [/add_header Content-Security-Policy "default-src 'none';.*frame-ancestors 'none'" always;/, /add_header X-Content-Type-Options "nosniff" always;/, /types \{ application\/wasm wasm; \}/],
    },
];

for (const row of hostHeaders) {
    test(`${row.file}: the page's policy with frame-ancestors, no type sniffing, the module's type`, () => {
        const text = readFileSync(path.join(Site, row.file), 'utf8');
        for (const pattern of row.says) assert.match(text, pattern);
    });
}
