// The page for the keyboard and the screen reader, in both layouts: axe-core's
// default rules find nothing but the window's own greys; the hidden pane is out
// of reach of Tab and Space until it is shown; the foot's switch and "Limpar"
// take the keys a button takes. And the page refuses to run inside a frame.

import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { after, before, describe, test } from 'node:test';
import * as h from './harness.mjs';

const axeScript = createRequire(import.meta.url).resolve('axe-core/axe.min.js');
// The window's light greys stay as the window has them.
const Accepted = new Set(['color-contrast']);
const TabStops = 120;

const site = h.useSite(before, after);

async function violations(page) {
    const found = await page.evaluate(async () => (await window.axe.run(document, { resultTypes: ['violations'] })).violations);
    return found.filter((v) => !Accepted.has(v.id)).map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
}

// Ids of the controls Tab reaches, and whether the form was scrolled sideways.
async function tabRound(page) {
    await page.focus('#ComboBox1');
    const reached = [];
    for (let i = 0; i < TabStops; ++i) {
        await page.keyboard.press('Tab');
        reached.push(await page.evaluate(() => document.activeElement.closest('[id]')?.id ?? ''));
    }
    return { reached, scrolled: await page.$eval('#Form1', (form) => form.scrollLeft) };
}

const wideOnly = ['Cb_Calvera', 'Cb_COMAutoClose', 'GB_ReleaseMode', 'LogIdList', 'L_Clear'];

describe('access', { concurrency: false }, () => {
    test('narrow and wide: no axe violation but the greys; the hidden pane inert until shown; the switch and "Limpar" by key', async () => {
        const context = await site.browser.newContext({ bypassCSP: true, viewport: { width: 900, height: 800 } });
        try {
            const page = await h.openPage(context, site.server.url);
            await page.addScriptTag({ path: axeScript });

            assert.deepEqual(await violations(page), []);
            const narrow = await tabRound(page);
            assert.deepEqual(narrow.reached.filter((id) => wideOnly.includes(id)), []);
            assert.ok(narrow.reached.includes('ED_TBGL'), narrow.reached.join(' '));
            assert.equal(narrow.scrolled, 0);

            await page.focus('#Wide');
            await page.keyboard.press('Enter');
            assert.equal(await page.$eval('#Form1', (form) => form.classList.contains('wide')), true);
            assert.deepEqual(await violations(page), []);
            assert.deepEqual(await page.$$eval('.wide-only', (all) => all.map((c) => c.inert)), [false, false, false]);

            await page.evaluate(() => document.getElementById('LogIdList').append(document.createElement('div')));
            await page.focus('#L_Clear');
            await page.keyboard.press('Space');
            assert.equal(await page.$eval('#LogIdList', (pane) => pane.childElementCount), 0);

            await page.focus('#Wide');
            await page.keyboard.press('Space');
            assert.equal(await page.$eval('#Form1', (form) => form.classList.contains('wide')), false);
            assert.deepEqual(await page.$$eval('.wide-only', (all) => all.map((c) => c.inert)), [true, true, true]);
            await page.screenshot({ path: `${h.Out}/web-page-narrow.png` });
        } finally {
            await context.close();
        }
    });

    test("inside another site's frame the page says so and opens no port", async () => {
        const context = await site.browser.newContext();
        try {
            const page = await context.newPage();
            await context.addInitScript(`globalThis.VyxTestPortSettings = {};\n${h.TestPortScript}`);
            await page.setContent(`<iframe src="${site.server.url}" allow="serial" width="800" height="600"></iframe>`);
            const frame = await (await page.waitForSelector('iframe')).contentFrame();
            await frame.waitForSelector('#Form1[aria-busy="false"]');
            const lines = await frame.$$eval('#Log > div', (l) => l.map((x) => x.textContent));
            assert.match(lines.join('\n'), /^O VyxTool não funciona dentro de outra página/);
            assert.equal(await frame.$eval('#ButtonVCP', (b) => b.disabled), true);
            await frame.click('#ButtonVCP', { force: true });
            assert.deepEqual(await frame.evaluate(() => navigator.serial.opens), []);
        } finally {
            await context.close();
        }
    });
});
