// One connection to the demo device in headless chromium, for scripts/run.sh
// --web on a machine without a display: the log is printed and a screenshot saved.
//   node web/test/tour.mjs URL OUT_DIR

import { mkdirSync } from 'node:fs';
import * as h from './harness.mjs';

const [url, out = 'out'] = process.argv.slice(2);
mkdirSync(out, { recursive: true });
const browser = await h.launch();
try {
    const context = await browser.newContext({ viewport: { width: 900, height: 800 } });
    const page = await h.openPage(context, url, { port: 'browser' });
    await h.selectPort(page, 'demo');
    await h.connect(page);
    await h.waitForLine(page, h.Texts.readDone, 60000);
    console.log((await h.logLines(page)).map((line) => `  | ${line}`).join('\n'));
    await page.screenshot({ path: `${out}/web-page.png` });
    console.log(`tour: screenshot ${out}/web-page.png`);
} finally {
    await browser.close();
}
