// The service record's road in a real browser: the page serves the demo Vyx
// with the service fields typed beforehand, and the "histórico" view then lists
// that visit with the device's ID and those fields.

import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import * as h from './harness.mjs';

// The demo device's ID and firmware as the page shows them.
const DemoId = '00A1B2C3 00000039 56595800';

const site = h.useSite(before, after);

test('a visit to the demo Vyx is listed in the history with its device ID and service fields', async () => {
    const context = await site.browser.newContext({ viewport: { width: 900, height: 800 } });
    try {
        const page = await h.openPage(context, `${site.server.url}index.html?demo-release=2.39`, { port: 'none' });
        await page.keyboard.press('Control+h');
        await page.fill('#History [name=technician]', 'Ana <b>Souza</b>');
        await page.fill('#History [name=plate]', 'ABC1D23');
        await page.press('#History [name=plate]', 'Tab');
        await page.click('#H_Close');

        await h.connect(page);
        await h.waitForLine(page, h.Texts.readDone);
        await h.connect(page);
        await h.waitForLine(page, h.Texts.closed);

        await page.click('#HistoryButton');
        await page.fill('#History [name=text]', 'souza');
        await page.waitForFunction(() => document.querySelectorAll('#H_List tbody tr').length === 1);
        const cells = await page.$$eval('#H_List tbody tr td', (tds) => tds.map((td) => td.textContent));
        assert.deepEqual(cells.slice(1), [DemoId, 'ABC1D23', '4.0.2.39 → 4.0.2.39', 'concluída', 'relatório']);
        // Typed markup stays text: nothing of it became an element.
        assert.equal(await page.$$eval('#History b', (b) => b.length), 0);
    } finally {
        await context.close();
    }
});
