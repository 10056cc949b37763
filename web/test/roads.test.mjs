// The device roads in a real browser, each once: the page's port (the test
// port through the bridge to a native vyx-sim, or the page's demo device)
// carrying the same C++ logic the window runs.

import assert from 'node:assert/strict';
import { mkdirSync } from 'node:fs';
import { readFile } from 'node:fs/promises';
import { after, before, describe, test } from 'node:test';
import * as h from './harness.mjs';

const ReadTimeout = 60000;
const PortSettings = { baudRate: 3686400, dataBits: 8, stopBits: 1, parity: 'none', flowControl: 'none', bufferSize: 4096 };
const SignalsCleared = { dataTerminalReady: false, requestToSend: false };
// The jump command as the tool sends it: addressed to the device, so the page
// logs "Destino inválido!" for each one it receives.
const ForAnotherReceiver = Buffer.from([0xbc, 0x21, 0x05, 0x00, 0x00, 0x00, 0x00, 0xe2]);
const LogCap = 5000;

const site = h.useSite(before, after);
before(() => mkdirSync(h.Out, { recursive: true }));

// A page on a fresh profile; `sim` arguments start a simulator behind the bridge.
async function road({ sim, query = '', portSettings } = {}) {
    const context = await site.browser.newContext({ viewport: { width: 900, height: 800 }, acceptDownloads: true });
    const device = sim ? await h.startSim(sim) : null;
    site.server.bridgeTarget = device?.path ?? null;
    const page = await h.openPage(context, `${site.server.url}index.html${query}`, { portSettings });
    return { context, page, device };
}

async function finish({ context, device }) {
    await context.close();
    await device?.stop();
}

async function readThrough(page) {
    await h.connect(page);
    await h.waitForLine(page, h.Texts.readDone, ReadTimeout);
}

describe('device roads', { concurrency: false }, () => {
    test('connect and read through the bridge: the port opened as the device needs it, DTR and RTS cleared, the editor filled', async () => {
        const r = await road({ sim: [] });
        try {
            await readThrough(r.page);
            const lines = await h.logLines(r.page);
            assert.equal(lines[0], h.Texts.opened);
            assert.ok(lines.includes(h.Texts.upToDate));
            assert.deepEqual(await r.page.evaluate(() => navigator.serial.opens), [PortSettings]);
            assert.deepEqual(await r.page.evaluate(() => navigator.serial.signals), [SignalsCleared]);
            assert.equal(await r.page.$eval('#B_SetConfig', (b) => b.disabled), false);
            assert.equal(await r.page.$eval('#ComboBox1', (s) => s.disabled), true);
            assert.match(await r.page.inputValue('#ED_VMX'), /^[0-9]+$/);
            await r.page.screenshot({ path: `${h.Out}/web-page.png` });
            await r.page.keyboard.press('Control+Alt+Shift+F11');
            await r.page.screenshot({ path: `${h.Out}/web-page-wide.png`, fullPage: true });
        } finally {
            await finish(r);
        }
    });

    test('edit, write with "Fechar após configurar", the port closed by itself, read back on the demo device', async () => {
        const r = await road({ query: '?demo-release=2.39' });
        try {
            await h.selectPort(r.page, 'demo');
            await readThrough(r.page);
            await r.page.keyboard.press('Control+Alt+Shift+F11');
            await r.page.check('#Cb_COMAutoClose input');
            await r.page.fill('#ED_VMX', '99');
            await r.page.click('#B_SetConfig');
            await h.waitForLine(r.page, h.Texts.done);
            await h.waitForLine(r.page, h.Texts.closed);
            assert.equal(await h.connected(r.page), false);
            await readThrough(r.page);
            assert.equal(await r.page.inputValue('#ED_VMX'), '99');
        } finally {
            await finish(r);
        }
    });

    test('a profile opened over the configuration read logs each key it sets differently from the device', async () => {
        const r = await road({ query: '?demo-release=2.39' });
        try {
            await h.selectPort(r.page, 'demo');
            await readThrough(r.page);
            const held = await r.page.inputValue('#ED_VMX');
            const [download] = await Promise.all([r.page.waitForEvent('download'), r.page.click('#B_SaveProfile')]);
            const text = (await readFile(await download.path(), 'utf8')).replace(/"max_kmh": \d+/, '"max_kmh": 88');
            await r.page.fill('#ED_VMX', '77'); // edited since the read: the device still holds its value
            await r.page.setInputFiles('#ProfileFile', { name: 'p.json', mimeType: 'application/json', buffer: Buffer.from(text) });
            const line = `speed.max_kmh (Velocidade máxima permitida): ${held} → 88`;
            await h.waitForLine(r.page, line);
            const lines = await h.logLines(r.page);
            assert.deepEqual(lines.slice(lines.indexOf(line)), [line]);
        } finally {
            await finish(r);
        }
    });

    test('an old device gets its firmware in 1,861 packages, restarts and is read', async () => {
        const r = await road();
        try {
            await h.selectPort(r.page, 'demo');
            await r.page.evaluate(() => {
                window.progressMaxima = [];
                const bar = document.getElementById('ProgressBar1');
                new MutationObserver(() => window.progressMaxima.push(bar.max)).observe(bar, { attributeFilter: ['max'] });
            });
            await readThrough(r.page);
            const lines = await h.logLines(r.page);
            const upload = lines.indexOf(h.Texts.updating);
            assert.ok(upload >= 0, lines.join('\n'));
            assert.ok(lines.indexOf(h.Texts.done) > upload);
            assert.ok(lines.lastIndexOf(h.Texts.upToDate) > lines.indexOf(h.Texts.done));
            assert.ok((await r.page.evaluate(() => window.progressMaxima)).includes(1861));
            assert.equal(await h.openBox(r.page), null);
        } finally {
            await finish(r);
        }
    });

    test('a device in operating mode: its instructions, then the port closes and the list stays off', async () => {
        const r = await road({ sim: ['--mode', 'operating'] });
        try {
            await h.connect(r.page);
            await h.waitForLine(r.page, h.Texts.operating);
            await h.waitForLine(r.page, h.Texts.closed);
            assert.equal(await h.connected(r.page), false);
            assert.equal(await r.page.$eval('#ComboBox1', (s) => s.disabled), true);
        } finally {
            await finish(r);
        }
    });

    test('replies handed in 64-byte chunks are read whole', async () => {
        const r = await road({ sim: ['--chunk', '64'], portSettings: { chunkSize: 64 } });
        try {
            await readThrough(r.page);
            assert.equal(await h.openBox(r.page), null);
        } finally {
            await finish(r);
        }
    });

    test('the cable pulled mid-upload: the leave-page warning, then one lost-connection line, no box, nothing reported done; reconnecting works', async () => {
        const r = await road({ sim: ['--version', '4.0.2.38', '--hangup-after', '1500'] });
        try {
            await h.connect(r.page);
            // Closing the tab while the upload runs: the browser asks first.
            await h.waitForLine(r.page, h.Texts.updating);
            const asked = new Promise((resolve) =>
                r.page.once('dialog', (dialog) => dialog.dismiss().then(() => resolve(dialog.type()))),
            );
            await r.page.close({ runBeforeUnload: true });
            assert.equal(await asked, 'beforeunload');
            await h.waitForLine(r.page, h.Texts.lost, ReadTimeout);
            await r.page.waitForTimeout(600); // a transfer tick or two: nothing may follow
            const lines = await h.logLines(r.page);
            assert.equal(lines.filter((l) => l === h.Texts.lost).length, 1);
            assert.equal(lines.at(-1), h.Texts.lost);
            assert.ok(!lines.includes(h.Texts.done));
            assert.equal(await h.openBox(r.page), null);
            assert.equal(await h.connected(r.page), false);
            assert.equal(await r.page.evaluate(() => navigator.serial.granted[0].readable), null);

            await r.device.exited;
            const plugged = await h.startSim([]);
            site.server.bridgeTarget = plugged.path;
            try {
                await readThrough(r.page);
            } finally {
                await plugged.stop();
            }
        } finally {
            await finish(r);
        }
    });

    test('a flood of frames for another receiver: the page answers within 250 ms throughout, the log keeps its cap', async () => {
        const r = await road({ sim: [] });
        try {
            await readThrough(r.page);
            // A timer every 20 ms: how late it runs is how long the page could not answer.
            await r.page.evaluate(() => {
                window.worstLateness = 0;
                let last = performance.now();
                setInterval(() => {
                    const now = performance.now();
                    window.worstLateness = Math.max(window.worstLateness, now - last - 20);
                    last = now;
                }, 20);
            });
            // 2,000 frames a second for 3 s from outside the page, 20 to a bridge
            // message and each its own chunk for the page, as a port reads them.
            const before = await r.page.evaluate((size) => {
                navigator.serial.granted[0].chunkSize = size;
                return navigator.serial.granted[0].messages;
            }, ForAnotherReceiver.length);
            const twenty = Buffer.concat(Array(20).fill(ForAnotherReceiver));
            await new Promise((resolve) => {
                let sent = 0;
                const timer = setInterval(() => {
                    site.server.inject(twenty);
                    if (++sent === 300) {
                        clearInterval(timer);
                        resolve();
                    }
                }, 10);
            });
            // Every frame read by the page before it is judged.
            await r.page.waitForFunction(
                (count) => navigator.serial.granted[0].messages >= count && navigator.serial.granted[0].backlog() === 0,
                before + 300,
                { timeout: 30000 },
            );
            const lines = await h.logLines(r.page);
            assert.equal(lines.length, LogCap);
            assert.equal(lines.at(-1), 'Destino inválido!');
            const worst = await r.page.evaluate(() => window.worstLateness);
            assert.ok(worst < 250, `the page did not answer for ${worst.toFixed(0)} ms`);
            assert.equal(await h.connected(r.page), true);
        } finally {
            await finish(r);
        }
    });

    test('a second tab on the same port is told so, and the first keeps its connection', async () => {
        const r = await road({ sim: [] });
        try {
            await readThrough(r.page);
            const second = await r.context.newPage();
            await second.goto(r.page.url());
            await second.waitForSelector('#Form1[aria-busy="false"]');
            await h.connect(second);
            await second.waitForSelector('#MsgBox[open]');
            assert.match((await h.openBox(second)).text, /outra aba/);
            assert.equal(await h.connected(r.page), true);
        } finally {
            await finish(r);
        }
    });
});
