// The page's own roads, each once: a refused profile, a profile saved and opened
// again, the page installable and opened again with no server from its offline
// copy, a new version picked up, and a browser without the serial API.

import assert from 'node:assert/strict';
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
    test('a profile that is not JSON is refused in a box and changes nothing', async () => {
        const server = await h.serve();
        const context = await browser.newContext();
        try {
            const page = await h.openPage(context, server.url);
            await page.click('#B_SetDefaults');
            const before = await page.inputValue('#ED_VMX');
            await page.setInputFiles('#ProfileFile', {
                name: 'perfil.json',
                mimeType: 'application/json',
                buffer: Buffer.from('{"speed": '),
            });
            await page.waitForSelector('#MsgBox[open]');
            await page.screenshot({ path: `${h.Out}/web-page-box.png` });
            const box = await h.openBox(page);
            assert.equal(box.caption, 'Erro');
            assert.ok(box.text.length > 0);
            assert.equal(await page.inputValue('#ED_VMX'), before);
        } finally {
            await context.close();
            server.close();
        }
    });

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

    test('a new version of the site is picked up in the background and the page says so', async () => {
        const root = mkdtempSync(path.join(tmpdir(), 'vyx-site-'));
        cpSync(h.Site, root, { recursive: true });
        const server = await startServer({ root });
        const context = await browser.newContext();
        try {
            const page = await h.openPage(context, server.url);
            await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
            assert.equal(await page.textContent('#L_Msg'), '');
            // What a new build changes: the worker's stamp.
            const worker = path.join(root, 'sw.js');
            writeFileSync(worker, readFileSync(worker, 'utf8').replace(/const Build = '([^']*)'/, "const Build = '$1-next'"));
            await page.reload();
            await page.waitForSelector('#Form1[aria-busy="false"]');
            await page.waitForFunction(() => document.getElementById('L_Msg').textContent !== '');
            assert.match(await page.textContent('#L_Msg'), /^Nova versão da página/);
        } finally {
            await context.close();
            server.close();
            rmSync(root, { recursive: true, force: true });
        }
    });

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
