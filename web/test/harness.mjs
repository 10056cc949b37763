// What the browser roads share: the site served on 127.0.0.1, Debian's
// chromium driven headless, native simulators on pseudo-terminals, and the
// page read the way a person reads it (log lines, boxes, buttons).

import { spawn } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';
import { startServer } from './site-server.mjs';

export const Site = process.env.VYX_SITE ?? 'build/web/site';
export const Sim = process.env.VYX_SIM ?? 'build/dev/sim/vyx-sim';
export const Out = process.env.VYX_OUT ?? 'out';

export const Chromium = process.env.VYX_CHROMIUM ?? '/usr/bin/chromium';
export const ChromiumArgs = [
    '--headless',
    '--no-sandbox',
    '--disable-gpu',
    '--disable-background-networking',
    '--disable-component-update',
    '--disable-sync',
    '--no-first-run',
];

export const Texts = {
    opened: 'Conexão aberta...',
    closed: 'Conexão fechada...',
    lost: 'Conexão perdida...',
    upToDate: 'O Vyx está atualizado!',
    readDone: 'Leitura da configuração interna concluída!',
    done: 'Atualização concluída com sucesso!',
    updating: 'Atualizando firmware...',
    operating: 'O Vyx foi detectado em modo de operação!',
};

export const TestPortScript = readFileSync(fileURLToPath(new URL('./test-port.js', import.meta.url)), 'utf8');

export function launch() {
    return chromium.launch({ executablePath: Chromium, args: ChromiumArgs });
}

/**
 * The browser and the served site that a test file's roads share: started
 * before them, closed after (pass node:test's `before` and `after`).
 */
export function useSite(before, after) {
    const site = { browser: null, server: null };
    before(async () => {
        site.browser = await launch();
        site.server = await serve();
    });
    after(async () => {
        await site.browser?.close();
        site.server?.close();
    });
    return site;
}

export function serve(tty = null) {
    return startServer({ root: Site, tty });
}

/** A native simulator on a pseudo-terminal; resolves with {path, stop, exited}. */
export function startSim(args = []) {
    const name = `vyx-web-${process.pid}-${Math.random().toString(36).slice(2, 8)}`;
    const child = spawn(Sim, ['--name', name, ...args], { stdio: ['ignore', 'pipe', 'pipe'] });
    let output = '';
    const exited = new Promise((resolve) => child.on('exit', resolve));
    return new Promise((resolve, reject) => {
        child.stdout.on('data', (data) => {
            output += data;
            const found = output.match(/port (\S+) ->/);
            if (found) {
                resolve({
                    path: found[1],
                    exited,
                    output: () => output,
                    stop: () => {
                        child.kill('SIGTERM');
                        return exited;
                    },
                });
            }
        });
        child.stderr.on('data', (data) => (output += data));
        child.on('error', reject);
        child.on('exit', () => reject(new Error(`vyx-sim ended early: ${output}`)));
    });
}

/**
 * Opens the page. `port`: 'test' puts the test port in place of the browser's
 * serial API (with `portSettings`), 'none' removes the API, 'browser' leaves it.
 */
export async function openPage(context, url, { port = 'test', portSettings = {} } = {}) {
    if (port === 'test') {
        await context.addInitScript(`globalThis.VyxTestPortSettings = ${JSON.stringify(portSettings)};\n${TestPortScript}`);
    } else if (port === 'none') {
        await context.addInitScript('delete Navigator.prototype.serial;');
    }
    const page = await context.newPage();
    await page.goto(url);
    await page.waitForSelector('#Form1[aria-busy="false"]');
    return page;
}

export function logLines(page, pane = 'Log') {
    return page.$$eval(`#${pane} > div > div`, (lines) => lines.map((l) => l.textContent));
}

/** Waits until the log holds a line with `text`. */
export function waitForLine(page, text, timeout = 20000) {
    return page.waitForFunction(
        (t) => [...document.querySelectorAll('#Log > div > div')].some((l) => l.textContent.includes(t)),
        text,
        { timeout },
    );
}

/** The box on screen ({caption, text}), or null. */
export function openBox(page) {
    return page.evaluate(() => {
        const box = document.getElementById('MsgBox');
        return box.open
            ? { caption: box.querySelector('#MsgCaption').textContent, text: box.querySelector('#MsgText').textContent }
            : null;
    });
}

export async function closeBox(page) {
    await page.click('#MsgOk');
}

export async function selectPort(page, label) {
    await page.selectOption('#ComboBox1', { label });
}

export async function connect(page) {
    await page.click('#ButtonVCP');
}

export function connected(page) {
    return page.$eval('#ButtonVCP', (b) => b.getAttribute('aria-pressed') === 'true');
}

/** The editor's controls by name: list positions, edit texts, box states. */
export function snapshotOf(page) {
    return page.evaluate(() => {
        const values = {};
        for (const control of document.querySelectorAll('#GB_Config select, #GB_Config input[id]:not([type=file])')) {
            values[control.id] =
                control.tagName === 'SELECT' ? control.selectedIndex : control.type === 'checkbox' ? control.checked : control.value;
        }
        return values;
    });
}
