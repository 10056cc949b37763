// The page's service record in headless chromium, as medians of several runs
// (not a timed test: it prints the figures beside their budgets):
// - the history's first page, newest first, with 100,000 visits in IndexedDB;
// - the same filtered by one device ID;
// - the full CSV export (every kept line through the module into one Blob);
// - the recording's added cost per page visit: each of a visit's steps made
//   into its row by the module and put in the store (an upper bound: the row
//   is made from the line, parsed first).
//
//   VYX_SITE=build/web/site node web/bench/history-bench.mjs

import * as h from '../test/harness.mjs';

const Visits = Number(process.env.VYX_VISITS ?? 100000);
const Runs = 5;
const Budgets = { firstPage: 150, byDevice: 20, csvExport: 3000, perVisit: 5 };

const browser = await h.launch();
const server = await h.serve();
try {
    const context = await browser.newContext();
    const page = await h.openPage(context, `${server.url}index.html?demo-release=2.39`, { port: 'none' });
    // One real visit to the demo device: the template of the 100,000.
    await h.connect(page);
    await h.waitForLine(page, h.Texts.readDone);
    await h.connect(page);
    await h.waitForLine(page, h.Texts.closed);

    const figures = await page.evaluate(async ({ visits, runs }) => {
        const { RecordStore, newestFirst } = await import('./js/record-store.js');
        const { default: createVyx } = await import('./vyx.js');
        const vyx = await createVyx();
        const store = await RecordStore.open();
        const [template] = await store.list({}, 1);
        const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
        const time = async (work) => {
            const spans = [];
            for (let run = 0; run < runs; run += 1) {
                const start = performance.now();
                await work();
                spans.push(performance.now() - start);
            }
            return median(spans);
        };

        // The recording: a visit's steps, each made into its row and kept.
        const steps = JSON.parse(template.line).steps.length;
        // The page's thread: what the steps' rows and puts take there (the
        // store writes on its own, after).
        const perVisit = await time(async () => {
            const puts = [];
            for (let step = 0; step < steps; step += 1) puts.push(store.put(vyx.visitRowOf(template.line)));
            return puts;
        });
        const committed = await time(async () => {
            for (let step = 0; step < steps; step += 1) await store.put(vyx.visitRowOf(template.line));
        });

        // 100,000 visits: the template with its identifier, device and start
        // changed, 200 devices, one visit a minute back from the template's.
        const start = Date.parse(template.startedUtc);
        const pad = (n, width) => n.toString(16).padStart(width, '0');
        const db = store.db;
        for (let from = 0; from < visits; from += 5000) {
            await new Promise((resolve, reject) => {
                const transaction = db.transaction(['visits', 'csv'], 'readwrite');
                const visitsStore = transaction.objectStore('visits');
                const csvStore = transaction.objectStore('csv');
                for (let n = from; n < Math.min(visits, from + 5000); n += 1) {
                    const uuid = `${pad(n, 8)}-0000-4000-8000-${pad(n, 12)}`;
                    const deviceId = `00A1B2C3 00000039 5659${pad(n % 200, 4).toUpperCase()}`;
                    const startedUtc = `${new Date(start - (n + 1) * 60000).toISOString().slice(0, 19)}Z`;
                    const line = template.line.replaceAll(template.uuid, uuid).replaceAll(template.deviceId, deviceId);
                    const csv = template.csv.replaceAll(template.uuid, uuid).replaceAll(template.deviceId, deviceId);
                    visitsStore.put({ ...template, uuid, deviceId, startedUtc, line, csv, newestFirst: newestFirst(startedUtc) });
                    csvStore.put(csv, [startedUtc, uuid]);
                }
                transaction.oncomplete = resolve;
                transaction.onerror = () => reject(transaction.error);
            });
        }

        const firstPage = await time(() => store.list({}));
        const byDevice = await time(() => store.list({ deviceId: '00A1B2C3 00000039 56590007' }));
        let rows = 0;
        let bytes = 0;
        const csvExport = await time(async () => {
            const parts = [vyx.visitCsvHeader()];
            await store.eachBatch((csv) => parts.push(csv.join('')), 'csv');
            const blob = new Blob(parts, { type: 'text/csv' });
            bytes = blob.size;
            rows = parts.reduce((count, part) => count + part.split('\r\n').length - 1, 0) - 1;
        });
        let readMs = 0;
        await store.eachBatch(() => {}, 'csv');
        const readStart = performance.now();
        await store.eachBatch(() => {}, 'csv');
        readMs = performance.now() - readStart;
        return { firstPage, byDevice, csvExport, perVisit, committed, readMs, steps, rows, bytes, lineBytes: template.line.length };
    }, { visits: Visits, runs: Runs });

    const line = (name, value, unit) =>
        console.log(`${name.padEnd(12)} ${value.toFixed(2).padStart(9)} ${unit}  (budget ${Budgets[name]} ${unit})`);
    console.log(`history of ${Visits} visits of ${figures.lineBytes} characters; CSV ${figures.rows} rows, ${figures.bytes} bytes`);
    line('firstPage', figures.firstPage, 'ms');
    line('byDevice', figures.byDevice, 'ms');
    line('csvExport', figures.csvExport, 'ms');
    line('perVisit', figures.perVisit, 'ms');
    console.log(`(a visit of ${figures.steps} steps; each step's row written through: ${figures.committed.toFixed(2)} ms;` +
        ` the export's reading alone: ${figures.readMs.toFixed(0)} ms)`);
} finally {
    await browser.close();
    server.close();
}
