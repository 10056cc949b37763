// The log pane's cost per line over 20,000 lines in headless chromium, the way a
// flooding device fills it: 40 lines a task, then the frame's scroll (and so its
// layout). Prints the cost per line of each block of 2,000 lines, and the last
// block's over the first block with the pane full (it keeps the window's cap, so
// from then on each line also drops the oldest): flat is about 1.
//
//   VYX_SITE=build/web/site node web/bench/log-bench.mjs

import * as h from '../test/harness.mjs';

const Lines = 20000;
const Block = 2000;
const PerTask = 40;
const Runs = 5;
// The window's cap, as the module exports it.
const Cap = 5000;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// One run in the page: ms per line for each block. The pane's once-a-frame
// scroll runs after each task, as the next frame would run it.
function fill({ lines, block, perTask, cap }) {
    return import('./js/log-pane.js').then(({ LogPane }) => {
        const element = document.getElementById('Log');
        element.replaceChildren();
        const due = [];
        const pane = new LogPane(element, cap, (step) => due.push(step));
        const costs = [];
        let spent = 0;
        for (let n = 0; n < lines; ) {
            const start = performance.now();
            for (let i = 0; i < perTask; ++i, ++n) pane.append('Destino inválido!');
            for (const step of due.splice(0)) step();
            spent += performance.now() - start;
            if (n % block === 0) {
                costs.push(spent / block);
                spent = 0;
            }
        }
        return costs;
    });
}

const browser = await h.launch();
const server = await h.serve();
try {
    const context = await browser.newContext({ viewport: { width: 900, height: 800 } });
    const page = await h.openPage(context, server.url, { port: 'none' });
    const runs = [];
    for (let run = 0; run < Runs; ++run) runs.push(await page.evaluate(fill, { lines: Lines, block: Block, perTask: PerTask, cap: Cap }));
    const blocks = runs[0].map((_, i) => median(runs.map((r) => r[i])));
    blocks.forEach((ms, i) => console.log(`log-bench: lines ${i * Block + 1}-${(i + 1) * Block}: ${(ms * 1000).toFixed(1)} µs a line`));
    // The first block once the pane is full: from there on every line also drops one.
    const full = Math.ceil(Cap / Block);
    const ratio = blocks.at(-1) / blocks[full];
    const from = full * Block + 1;
    console.log(`log-bench: last block over the first with the pane full (lines ${from}-): ${ratio.toFixed(2)} (flat: about 1)`);
    console.log(`log-bench: lines kept: ${await page.$$eval('#Log > div > div', (l) => l.length)}`);
} finally {
    await browser.close();
    server.close();
}
