// The page's own roads, each once: a refused profile, a profile saved and opened
// again, the page opened again
// with no server from its offline copy, and a browser without the serial API.

import assert from 'node:assert/strict';
import { readFile } from 'node:fs/promises';
import { after, before, describe, test } from 'node:test';
import * as h from './harness.mjs';

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

    test('once loaded, the page opens again from its offline copy with the server gone', async () => {
        const server = await h.serve();
        const context = await browser.newContext();
        try {
            const page = await h.openPage(context, server.url);
            await page.evaluate(() => navigator.serviceWorker.ready);
            await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
            server.closeAllConnections();
            await new Promise((resolve) => server.close(resolve));
            await page.reload();
            await page.waitForSelector('#Form1[aria-busy="false"]');
            assert.ok(await page.$('#ED_VMX'));
            assert.match(await page.title(), /^VyxTool v\d+\.\d+\.[A-Z]$/);
        } finally {
            await context.close();
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
