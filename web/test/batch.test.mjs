// "modo lote" in a real browser: two units plugged in one after the other, each
// served whole and closed, the first older and holding another configuration
// (firmware uploaded, profile written and read back), the second already holding it;
// and, against fakes, the units that must never be reported done.

import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { Batch, NoVyxText, NotDoneText, ReadBackText } from '../app/js/batch.js';
import * as h from './harness.mjs';

const Ready = 'pronto — conecte o próximo Vyx';
const Already = 'já estava conforme o perfil';
const VisitTimeout = 90000;
// The factory defaults, as a technician's file holds them.
const Profile = `{
  "format_version": 1,
  "ping": { "period_s": 180 },
  "rs232_a": { "bit_rate": 115200 },
  "rs232_b": { "bit_rate": 19200 },
  "acceleration": { "max_kmh_per_s": 11, "buzzer": true, "event": true },
  "braking": { "max_kmh_per_s": 11, "buzzer": true, "event": true },
  "speed": { "max_kmh": 120, "confirm_s": 5,
    "buzzer": { "on_entry": true, "on_exit": false, "during": false },
    "event": { "on_entry": true, "on_exit": false } },
  "rain_speed": { "max_kmh": 90, "confirm_s": 5,
    "buzzer": { "on_entry": true, "on_exit": false, "during": false },
    "event": { "on_entry": true, "on_exit": false } },
  "engine_speed": { "max_rpm": 4500, "confirm_s": 5,
    "buzzer": { "on_entry": true, "on_exit": false, "during": false },
    "event": { "on_entry": true, "on_exit": false } },
  "idling": { "max_min": 6, "manoeuvre_grace_s": 7,
    "buzzer": { "on_entry": true, "on_exit": false, "during": false },
    "event": { "on_entry": true, "on_exit": false } },
  "coasting": { "min_kmh": 40, "max_rpm": 900, "confirm_s": 5,
    "buzzer": { "on_entry": true, "on_exit": false, "during": false },
    "event": { "on_entry": true, "on_exit": false } }
}`;

const site = h.useSite(before, after);

// Plugs in the unit `sim` plays (ID `id`) and waits until the page has closed it.
async function serve(page, id, sim) {
    const unit = await h.startSim(['--id', id.replaceAll(' ', ','), ...sim]);
    site.server.bridgeTarget = unit.path;
    try {
        await page.evaluate(() => navigator.serial.plug());
        await page.waitForFunction(
            ([unitLine, ready]) => {
                const lines = [...document.querySelectorAll('#Log > div > div')].map((l) => l.textContent);
                return lines.includes(unitLine) && lines.at(-1) === ready;
            },
            [`Id: ${id}`, Ready],
            { timeout: VisitTimeout },
        );
        const lines = await h.logLines(page);
        assert.equal(await h.connected(page), false, lines.join('\n'));
        return { lines, status: unit.output() };
    } finally {
        await unit.stop();
    }
}

test('modo lote: an older unit updated and written, then a conforming one left as it was, each closed with "pronto"', async () => {
    const context = await site.browser.newContext({ viewport: { width: 900, height: 800 } });
    try {
        const page = await h.openPage(context, `${site.server.url}index.html`);
        await page.check('#Batch');
        await page.setInputFiles('#ProfileFile', { name: 'frota.json', mimeType: 'application/json', buffer: Buffer.from(Profile) });
        await h.waitForLine(page, 'Perfil aberto');

        const first = await serve(page, '00A1B2C3 00000039 56595800', ['--version', '4.0.2.38', '--config', 'preset']);
        const at = (text) => first.lines.indexOf(text);
        assert.ok(at(h.Texts.updating) >= 0, first.lines.join('\n'));
        assert.ok(at(h.Texts.done) > at(h.Texts.updating));
        assert.ok(at('speed.max_kmh (Velocidade máxima permitida): 100 → 120') > at(h.Texts.readDone), first.lines.join('\n'));
        assert.deepEqual(first.lines.slice(-2), [h.Texts.closed, Ready]);
        assert.ok(!first.lines.includes(Already));

        const second = await serve(page, '00A1B2C4 00000039 56595800', []);
        assert.ok(!second.lines.includes(h.Texts.updating));
        assert.ok(!second.lines.includes(h.Texts.done));
        assert.deepEqual(second.lines.slice(-3), [Already, h.Texts.closed, Ready]);
        assert.equal(await page.evaluate(() => localStorage.getItem('vyx-batch')), 'on');
    } finally {
        await context.close();
    }
});

// A Batch against fakes, told the session's outcomes as the module tells them;
// the connection opens and closes at once, and what the batch asks of the
// session is kept in `calls`.
function rig({ handled = true }) {
    const seen = { log: [], opens: 0, calls: [], timers: [] };
    const toggle = Object.assign(new EventTarget(), { checked: false });
    let editor = null;
    const connection = {
        isOpen: false,
        busy: false,
        lostAt: null,
        async open() {
            ++seen.opens;
            this.isOpen = true;
            batch.opened();
            return true;
        },
        async close() {
            this.isOpen = false;
            batch.outcome({ kind: 'closed', cause: 'asked' });
        },
    };
    const call = (name, result) => () => seen.calls.push(name) && result;
    const batch = new Batch({
        vyx: {
            usbIdentity: () => ({}),
            profileDiffLines: (device, profile) =>
                device.ED_VMX === profile.ED_VMX ? [] : [`${device.ED_VMX} → ${profile.ED_VMX}`],
        },
        session: {
            identity: () => ({ handled, action: 'upToDate' }),
            readConfig: call('read'),
            writeConfig: call('write', true),
            readBack: call('readBack'),
        },
        connection,
        list: { show: async () => {} },
        editor: { read: () => editor, apply: () => {} },
        log: { append: (text) => seen.log.push(text) },
        toggle,
        storage: null,
        after: (ms, fn) => seen.timers.push(fn),
        cancel: () => {},
    });
    toggle.checked = true;
    batch.profileOpened({ ED_VMX: '100' });
    // An outcome, or a step of the rig's own; the batch's step follows each.
    const tell = async (o) => {
        if (typeof o === 'function') {
            await o(r);
        } else {
            if (o.kind === 'read') editor = { ED_VMX: o.held };
            batch.outcome(o);
        }
        await settle();
    };
    // The cable pulled (or the unit restarting after its upload): what was under way is cut.
    const lose = (afterUpload) => {
        connection.isOpen = false;
        connection.lostAt = { time: performance.now(), afterUpload };
        batch.outcome({ kind: 'cut', exchange: 'write' });
        batch.outcome({ kind: 'lost' });
    };
    const r = { batch, seen, tell, lose, connection };
    return r;
}

const settle = () => new Promise((resolve) => setImmediate(resolve));
const identified = (idText) => ({ kind: 'identified', idText });
const read = (held, repaired = false) => ({ kind: 'read', held, repaired });
const written = { kind: 'written' };
const differs = { kind: 'readBack', equal: false, difference: 'speed.max_kmh: gravado 100, lido de volta 99' };
// The upload's end, the port gone while the unit restarts, and picked up again.
const restart = [{ kind: 'uploaded' }, (r) => r.lose(true), (r) => r.connection.open()];
const First = '00A1B2C3 00000039 56595800';
const Other = '00A1B2C4 00000039 56595800';

// Each unit's visit; only one that holds the profile is "pronto".
const visits = [
    {
        name: 'a port with no Vyx behind it is closed unwritten',
        setup: { handled: false },
        steps: [(r) => r.seen.timers[0]()],
        log: [NoVyxText],
        calls: [],
    },
    {
        name: 'a unit unplugged during its write is not done, and is served again when it returns',
        steps: [read('120'), (r) => r.lose(false), (r) => r.batch.plugged({})],
        log: ['120 → 100', NotDoneText],
        calls: ['write'],
        opens: 2,
    },
    {
        name: 'a unit that reads back otherwise than the profile is not done',
        steps: [read('120'), written, differs],
        log: ['120 → 100', ReadBackText, differs.difference, NotDoneText],
        calls: ['write', 'readBack'],
    },
    {
        name: 'a unit announcing another ID after its restart is stopped unwritten',
        steps: [identified(First), ...restart, identified(Other), read('120')],
        log: [`Depois de reiniciar, o Vyx anunciou outro ID (${Other}): parado sem gravar.`, NotDoneText],
        calls: [],
        opens: 2,
    },
    {
        name: 'a unit whose write failed with its box is not done',
        steps: [read('120'), { kind: 'failed', exchange: 'write', code: 2, caption: 'ERRO #0x02' }],
        log: ['120 → 100', NotDoneText],
        calls: ['write'],
    },
    {
        name: 'a rejected block gets the defaults, is read again and then gets the profile',
        steps: [read('0', true), written, read('120'), written, { kind: 'readBack', equal: true, difference: '' }],
        log: ['120 → 100', Ready],
        calls: ['read', 'write', 'readBack'],
    },
];

for (const c of visits) {
    test(c.name, async () => {
        const r = rig(c.setup ?? {});
        await r.batch.plugged({});
        for (const step of c.steps) await r.tell(step);
        assert.deepEqual(r.seen.log, c.log);
        assert.deepEqual(r.seen.calls, c.calls);
        assert.equal(r.seen.opens, c.opens ?? 1);
    });
}
