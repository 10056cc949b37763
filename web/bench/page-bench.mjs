// The page's figures in headless chromium, as medians of several runs (not a
// timed test: it prints, and compares with budgets given as ratios):
// - page ready: navigation to the editor built, first load and from the offline copy;
// - the site's size, gzip;
// - firmware upload of 1,861 packages against the demo device, and through the
//   bridge to a native vyx-sim;
// - the whole flash road through the bridge (connect to the new release
//   announced) in turn with `vyxctl flash` on the same simulator, as a ratio;
// - the browser's CPU with the demo port open and idle, beside the same page idle
//   with no port open.
//
//   VYX_SITE=build/web/site VYX_SIM=.../vyx-sim VYX_CTL=.../vyxctl node web/bench/page-bench.mjs

import { execFileSync, spawnSync } from 'node:child_process';
import { readdirSync, readFileSync, statSync } from 'node:fs';
import path from 'node:path';
import { gzipSync } from 'node:zlib';
import * as h from '../test/harness.mjs';

const Runs = 5;
const IdleSpanMs = 5000;
const ClockTicks = Number(execFileSync('getconf', ['CLK_TCK']).toString().trim());

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

function siteSizes(root) {
    let raw = 0;
    let gzip = 0;
    const walk = (dir) => {
        for (const name of readdirSync(dir)) {
            const file = path.join(dir, name);
            if (statSync(file).isDirectory()) {
                walk(file);
            } else if (!/\.png$/.test(name)) {
                const bytes = readFileSync(file);
                raw += bytes.length;
                gzip += gzipSync(bytes, { level: 9 }).length;
            }
        }
    };
    walk(root);
    return { raw, gzip };
}

// CPU seconds used so far by every process below this one (the browser's).
function childrenCpu() {
    const parents = new Map();
    const cpu = new Map();
    for (const pid of readdirSync('/proc').filter((n) => /^\d+$/.test(n))) {
        try {
            const stat = readFileSync(`/proc/${pid}/stat`, 'utf8');
            const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
            parents.set(pid, fields[1]);
            cpu.set(pid, (Number(fields[11]) + Number(fields[12])) / ClockTicks);
        } catch {
            // gone meanwhile
        }
    }
    const mine = String(process.pid);
    const below = (pid) => {
        for (let p = parents.get(pid); p && p !== '0'; p = parents.get(p)) if (p === mine) return true;
        return false;
    };
    let total = 0;
    for (const [pid, seconds] of cpu) if (below(pid)) total += seconds;
    return total;
}

// Times in the page between the upload's first and last log lines.
async function uploadSeconds(page) {
    await page.evaluate((texts) => {
        window.uploadTimes = {};
        new MutationObserver(() => {
            for (const line of document.querySelectorAll('#Log > div > div')) {
                for (const [key, text] of Object.entries(texts)) {
                    if (line.textContent === text && !(key in window.uploadTimes)) window.uploadTimes[key] = performance.now();
                }
            }
        }).observe(document.getElementById('Log'), { childList: true, subtree: true });
    }, { start: h.Texts.updating, end: h.Texts.done });
    await h.connect(page);
    await h.waitForLine(page, h.Texts.done, 120000);
    const times = await page.evaluate(() => window.uploadTimes);
    return (times.end - times.start) / 1000;
}

// Seconds from the press of the port button to the device announcing its new release.
async function flashRoad(browser, server) {
    const sim = await h.startSim(['--version', '4.0.2.38']);
    server.bridgeTarget = sim.path;
    const context = await browser.newContext();
    const page = await h.openPage(context, server.url);
    const start = await page.evaluate(() => performance.now());
    await h.connect(page);
    await page.waitForFunction(
        (texts) => {
            const lines = [...document.querySelectorAll('#Log > div > div')].map((l) => l.textContent);
            return lines.includes(texts.done) && lines.lastIndexOf(texts.upToDate) > lines.indexOf(texts.done);
        },
        { done: h.Texts.done, upToDate: h.Texts.upToDate },
        { timeout: 120000 },
    );
    const seconds = ((await page.evaluate(() => performance.now())) - start) / 1000;
    await context.close();
    await sim.stop();
    return seconds;
}

async function vyxctlFlash() {
    const sim = await h.startSim(['--version', '4.0.2.38']);
    const start = performance.now();
    const run = spawnSync(process.env.VYX_CTL, ['flash', '--port', sim.path], { stdio: 'ignore' });
    const seconds = (performance.now() - start) / 1000;
    await sim.stop();
    if (run.status !== 0) throw new Error(`vyxctl flash ended with ${run.status}`);
    return seconds;
}

async function idleShare(page) {
    await page.waitForTimeout(500);
    const before = childrenCpu();
    await page.waitForTimeout(IdleSpanMs);
    return (childrenCpu() - before) / (IdleSpanMs / 1000);
}

async function main() {
    const browser = await h.launch();
    const server = await h.serve();
    const report = [];
    try {
        const ready = [];
        const readyCached = [];
        for (let i = 0; i < Runs; ++i) {
            const context = await browser.newContext();
            const page = await h.openPage(context, server.url, { port: 'browser' });
            ready.push(await page.evaluate(() => performance.getEntriesByName('vyx-ready')[0].startTime));
            await page.evaluate(() => navigator.serviceWorker.ready);
            await page.reload();
            await page.waitForSelector('#Form1[aria-busy="false"]');
            readyCached.push(await page.evaluate(() => performance.getEntriesByName('vyx-ready')[0].startTime));
            await context.close();
        }
        report.push(`page ready: median ${median(ready).toFixed(0)} ms first load, ${median(readyCached).toFixed(0)} ms from the offline copy (budget 1000 ms)`);
        const size = siteSizes(h.Site);
        report.push(`site without icons: ${(size.raw / 1024).toFixed(0)} KB, ${(size.gzip / 1024).toFixed(0)} KB gzip (budget 400 KB gzip)`);

        const demo = [];
        for (let i = 0; i < Runs; ++i) {
            const context = await browser.newContext();
            const page = await h.openPage(context, server.url, { port: 'browser' });
            await h.selectPort(page, 'demo');
            demo.push(await uploadSeconds(page));
            await context.close();
        }
        report.push(`upload of 1,861 packages, demo device: median ${median(demo).toFixed(3)} s`);

        const bridged = [];
        for (let i = 0; i < Runs; ++i) {
            const sim = await h.startSim(['--version', '4.0.2.38']);
            server.bridgeTarget = sim.path;
            const context = await browser.newContext();
            const page = await h.openPage(context, server.url);
            bridged.push(await uploadSeconds(page));
            await context.close();
            await sim.stop();
        }
        report.push(`upload of 1,861 packages, bridge to vyx-sim: median ${median(bridged).toFixed(3)} s`);

        if (process.env.VYX_CTL) {
            const page = [];
            const native = [];
            for (let i = 0; i < Runs; ++i) {
                page.push(await flashRoad(browser, server));
                native.push(await vyxctlFlash());
            }
            const ratio = median(page) / median(native);
            report.push(
                `flash road through the bridge: median ${median(page).toFixed(3)} s, vyxctl flash ${median(native).toFixed(3)} s, ratio ${ratio.toFixed(2)} (budget 3)`,
            );
        }

        const context = await browser.newContext();
        const page = await h.openPage(context, `${server.url}?demo-release=2.39`, { port: 'browser' });
        const closed = await idleShare(page);
        await h.selectPort(page, 'demo');
        await h.connect(page);
        await h.waitForLine(page, h.Texts.readDone);
        const open = await idleShare(page);
        report.push(
            `idle, all browser processes: ${(open * 100).toFixed(2)} % of one core with the demo port open, ${(closed * 100).toFixed(2)} % with no port open (budget 1 %)`,
        );
        await context.close();
    } finally {
        await browser.close();
        server.close();
    }
    console.log(report.join('\n'));
}

await main();
