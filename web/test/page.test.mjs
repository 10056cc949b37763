// The page's own roads, each once: a refused profile, a profile saved and opened
// again, the page installable and opened again with no server from its offline
// copy, a new version picked up, and a browser without the serial API.

import assert from 'node:assert/strict';
import { createHash } from 'node:crypto';
import { cpSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { readFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import * as h from './harness.mjs';
import { startServer } from './site-server.mjs';

let browser;
before(async () => {
    browser = await h.launch();
});
after(() => browser?.close());

describe('page', { concurrency: false }, () => {
    // The file's bytes as they are on the disk: the module judges them as vyxctl does.
    const refusedProfiles = [
        { name: 'not JSON', bytes: Buffer.from('{"speed": '), says: /./ },
        { name: 'UTF-16 with its byte-order mark', bytes: Buffer.from('\ufeff{}', 'utf16le'), says: /texto UTF-16/ },
        { name: 'Latin-1', bytes: Buffer.from('{"nome": "caf\xe9"}', 'latin1'), says: /não são texto UTF-8/ },
    ];
    for (const row of refusedProfiles) {
        test(`a profile file in ${row.name} is refused in a box and changes nothing`, async () => {
            const server = await h.serve();
            const context = await browser.newContext();
            try {
                const page = await h.openPage(context, server.url);
                await page.click('#B_SetDefaults');
                const before = await page.inputValue('#ED_VMX');
                await page.setInputFiles('#ProfileFile', { name: 'perfil.json', mimeType: 'application/json', buffer: row.bytes });
                await page.waitForSelector('#MsgBox[open]');
                if (row === refusedProfiles[0]) await page.screenshot({ path: `${h.Out}/web-page-box.png` });
                const box = await h.openBox(page);
                assert.equal(box.caption, 'Erro');
                assert.match(box.text, row.says);
                assert.equal(await page.inputValue('#ED_VMX'), before);
            } finally {
                await context.close();
                server.close();
            }
        });
    }

    test('a saved profile is a download that opens again into an emptied editor', async () => {
        const server = await h.serve();
        const context = await browser.newContext({ acceptDownloads: true });
        try {
            const page = await h.openPage(context, server.url);
            await page.click('#B_SetCalvera');
            const saved = await h.snapshotOf(page);
            const [download] = await Promise.all([page.waitForEvent('download'), page.click('#B_SaveProfile')]);
            const text = await readFile(await download.path(), 'utf8');
            assert.doesNotThrow(() => JSON.parse(text));
            await page.reload();
            await page.waitForSelector('#Form1[aria-busy="false"]');
            await page.setInputFiles('#ProfileFile', { name: download.suggestedFilename(), mimeType: 'application/json', buffer: Buffer.from(text) });
            await page.waitForFunction(() => document.getElementById('ED_VMX').value !== '');
            assert.deepEqual(await h.snapshotOf(page), saved);
            assert.equal((await h.logLines(page)).at(-1), 'Perfil aberto: perfil-vyx.json');
            assert.equal(await h.openBox(page), null);
        } finally {
            await context.close();
            server.close();
        }
    });

    test('the page is installable and loads nothing from elsewhere; once loaded it opens again with the server gone', async () => {
        const server = await h.serve();
        const context = await browser.newContext();
        const requests = [];
        context.on('request', (request) => requests.push(request.url()));
        try {
            const page = await h.openPage(context, server.url);
            const cdp = await context.newCDPSession(page);
            // A test's browser profile is a private one, which no page may be installed from.
            const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
            assert.deepEqual(installabilityErrors.filter((e) => e.errorId !== 'in-incognito'), []);
            await page.evaluate(() => navigator.serviceWorker.ready);
            await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
            server.closeAllConnections();
            await new Promise((resolve) => server.close(resolve));
            await page.reload();
            await page.waitForSelector('#Form1[aria-busy="false"]');
            assert.ok(await page.$('#ED_VMX'));
            assert.match(await page.title(), /^VyxTool v\d+\.\d+\.[A-Z]$/);
            assert.deepEqual(requests.filter((url) => !url.startsWith(server.url)), []);
        } finally {
            await context.close();
        }
    });

    // A new build as a host serves it, with a day's caching. A good one is fetched
    // past the browser's HTTP cache and said in every tab (the one opened before the
    // first install too); one whose file does not match its list is refused and the
    // old copy stays.
    const updates = [
        {
            name: 'a new build is fetched past the HTTP cache and every tab says so',
            listed: 'new',
            says: /^Nova versão da página instalada: recarregue/,
            kept: 'new',
        },
        {
            name: 'a new build whose file differs from its list is refused, the old copy kept, and every tab says so',
            listed: 'other',
            says: /^Nova versão da página recusada/,
            kept: 'old',
        },
    ];
    for (const row of updates) {
        test(row.name, async () => {
            const root = mkdtempSync(path.join(tmpdir(), 'vyx-site-'));
            cpSync(h.Site, root, { recursive: true });
            const server = await startServer({ root, cacheControl: 'max-age=86400' });
            const context = await browser.newContext();
            // The one copy left once the worker has settled: has it the new style?
            const keptStyle = async (page) => {
                while ((await page.evaluate(() => caches.keys())).length !== 1) await page.waitForTimeout(50);
                return page.evaluate(async () => (await (await caches.match('style.css')).text()).includes('/* next */'));
            };
            try {
                const first = await h.openPage(context, server.url);
                await first.waitForFunction(() => navigator.serviceWorker.controller !== null);
                assert.equal(await first.textContent('#L_Msg'), '');
                // What a new build changes: a file, its hash in the worker's list, the stamp.
                const style = `${readFileSync(path.join(root, 'style.css'), 'utf8')}/* next */\n`;
                writeFileSync(path.join(root, 'style.css'), style);
                const hash = row.listed === 'new' ? createHash('sha256').update(style).digest('hex') : '0'.repeat(64);
                const worker = path.join(root, 'sw.js');
                writeFileSync(
                    worker,
                    readFileSync(worker, 'utf8')
                        .replace(/const Build = '([^']*)'/, "const Build = '$1-next'")
                        .replace(/"style.css":"[0-9a-f]+"/, `"style.css":"${hash}"`),
                );
                const second = await h.openPage(context, server.url);
                for (const page of [first, second]) {
                    await page.waitForFunction(() => document.getElementById('L_Msg').textContent !== '');
                    assert.match(await page.textContent('#L_Msg'), row.says);
                }
                assert.equal(await keptStyle(first), row.kept === 'new');
            } finally {
                await context.close();
                server.close();
                rmSync(root, { recursive: true, force: true });
            }
        });
    }

    test('without the serial API the page says which browsers have it and offers the demo', async () => {
        const server = await h.serve();
        const context = await browser.newContext();
        try {
            const page = await h.openPage(context, server.url, { port: 'none' });
            const lines = await h.logLines(page);
            assert.ok(lines.some((l) => l.includes('Chrome ou o Edge')), lines.join('\n'));
            assert.deepEqual(await page.$$eval('#ComboBox1 option', (o) => o.map((x) => x.textContent)), ['demo']);
        } finally {
            await context.close();
            server.close();
        }
    });
});
