// The port button's road against fakes of the browser's serial API, the
// session and the page: what a technician is told when a port will not open,
// and the Vyx picked up again after its firmware restart.

import assert from 'node:assert/strict';
import { test } from 'node:test';
import { Connection } from '../app/js/connection.js';
import * as texts from '../app/js/port-texts.js';

const Identity = { vendorId: 0x1209, productId: 0x5659 };

class FakePort extends EventTarget {
    constructor(failures = 0) {
        super();
        this.failures = failures;
        this.opens = [];
    }
    getInfo() {
        return { usbVendorId: Identity.vendorId, usbProductId: Identity.productId };
    }
    async open(settings) {
        this.opens.push(settings);
        if (this.failures-- > 0) throw new DOMException('Failed to open serial port.', 'NetworkError');
        this.readable = new ReadableStream();
        this.writable = new WritableStream();
    }
    async close() {
        this.readable = null;
        this.writable = null;
    }
}

// A Connection with every neighbour recorded.
function rig({ entry, requestPort, heldElsewhere = false, action = 'upToDate', operatingMode = false } = {}) {
    const seen = { boxes: [], logs: [], session: [], view: [], shown: [], locks: [], pauses: 0 };
    const serial = new EventTarget();
    serial.requestPort = requestPort ?? (async () => new FakePort());
    serial.getPorts = async () => serial.granted ?? [];
    const connection = new Connection({
        vyx: { usbIdentity: () => Identity, portSettings: () => ({ baudRate: 3686400 }) },
        session: {
            portOpened: () => seen.session.push('opened'),
            portClosed: () => seen.session.push('closed'),
            portLost: () => seen.session.push('lost'),
            receive: () => 0,
            identity: () => ({ action, operatingMode }),
        },
        list: { selected: () => entry, show: async (port) => seen.shown.push(port) },
        box: { show: async (text) => seen.boxes.push(text) },
        view: {
            showConnected: () => seen.view.push('connected'),
            showDisconnected: () => seen.view.push('disconnected'),
            setListEnabled: (enabled) => seen.view.push(enabled ? 'list on' : 'list off'),
        },
        log: { append: (text) => seen.logs.push(text) },
        serial,
        locks: {
            request: async (name) => seen.locks.push(name),
            query: async () => ({ held: heldElsewhere ? [{ name: 'vyx-port 4617:22105' }] : [] }),
        },
        pause: async () => ++seen.pauses,
    });
    return { connection, seen, serial };
}

const settle = () => new Promise((resolve) => setImmediate(resolve));
const choose = { kind: 'choose' };
const refusing = () => ({ kind: 'serial', port: new FakePort(1) });

const opening = [
    {
        name: 'a refused open names the likely causes',
        setup: { entry: refusing() },
        boxes: [/causas mais prováveis[\s\S]*dialout[\s\S]*desconectado[\s\S]*NetworkError/],
        logs: [],
    },
    {
        name: 'a refused open while another tab holds the port says so',
        setup: { entry: refusing(), heldElsewhere: true },
        boxes: [/^Esta porta já está aberta em outra aba/],
        logs: [],
    },
    {
        name: 'a cancelled chooser is one line in the log, no box',
        setup: {
            entry: choose,
            requestPort: async () => {
                throw new DOMException('No port selected by the user.', 'NotFoundError');
            },
        },
        boxes: [],
        logs: [/^Nenhuma porta foi escolhida/],
    },
    {
        name: 'a chooser the browser blocks is explained',
        setup: {
            entry: choose,
            requestPort: async () => {
                throw new DOMException('Access denied.', 'SecurityError');
            },
        },
        boxes: [/bloqueou o acesso/],
        logs: [],
    },
];

for (const row of opening) {
    test(`${row.name}, and the button stays up`, async () => {
        const { connection, seen } = rig(row.setup);
        await connection.toggle();
        assert.equal(seen.boxes.length, row.boxes.length);
        row.boxes.forEach((pattern, i) => assert.match(seen.boxes[i], pattern));
        assert.equal(seen.logs.length, row.logs.length);
        row.logs.forEach((pattern, i) => assert.match(seen.logs[i], pattern));
        assert.deepEqual(seen.session, []);
        assert.deepEqual(seen.view, ['disconnected']);
        assert.equal(connection.isOpen, false);
    });
}

test('the chooser offers the Vyx by its USB identity; the port granted opens with the device settings, is listed and held for this tab', async () => {
    const port = new FakePort();
    const asked = [];
    const { connection, seen } = rig({
        entry: choose,
        requestPort: async (options) => {
            asked.push(options);
            return port;
        },
    });
    await connection.toggle();
    assert.deepEqual(asked, [{ filters: [{ usbVendorId: 0x1209, usbProductId: 0x5659 }] }]);
    assert.deepEqual(port.opens, [{ baudRate: 3686400, bufferSize: 4096 }]);
    assert.deepEqual(seen.shown, [port]);
    assert.deepEqual(seen.session, ['opened']);
    assert.deepEqual(seen.view, ['connected', 'list off']);
    assert.deepEqual(seen.locks, ['vyx-port 4617:22105']);
});

const closing = [
    { name: 'the button', close: (c) => c.toggle(), operatingMode: false, list: 'list on' },
    { name: 'the timed close', close: (c) => c.close(false), operatingMode: false, list: 'list on' },
    { name: 'the timed close after the operating-mode notice', close: (c) => c.close(false), operatingMode: true, list: null },
];

for (const row of closing) {
    test(`closed by ${row.name}: the list is ${row.list ? 'enabled' : 'left off'}`, async () => {
        const { connection, seen } = rig({ entry: { kind: 'serial', port: new FakePort() }, operatingMode: row.operatingMode });
        await connection.toggle();
        seen.view.length = 0;
        await row.close(connection);
        assert.deepEqual(seen.session, ['opened', 'closed']);
        assert.deepEqual(seen.view, row.list ? ['disconnected', row.list] : ['disconnected']);
    });
}

const comebacks = [
    { name: 'after its firmware upload, a Vyx that comes back is opened again without the chooser', action: 'upload', reopened: true },
    { name: 'a Vyx lost at any other time waits for the button', action: 'upToDate', reopened: false },
];

for (const row of comebacks) {
    test(row.name, async () => {
        const first = new FakePort();
        const { connection, seen, serial } = rig({ entry: { kind: 'serial', port: first }, action: row.action });
        await connection.toggle();
        first.dispatchEvent(new Event('disconnect'));
        await settle();
        assert.deepEqual(seen.session, ['opened', 'lost']);

        // The device comes back as a new port whose first open fails (still starting).
        const again = new FakePort(1);
        serial.granted = [again];
        const event = new Event('connect');
        Object.defineProperty(event, 'target', { value: again });
        serial.dispatchEvent(event);
        for (let i = 0; i < 10; ++i) await settle();

        assert.equal(connection.isOpen, row.reopened);
        assert.equal(again.opens.length, row.reopened ? 2 : 0);
        assert.deepEqual(seen.session, row.reopened ? ['opened', 'lost', 'opened'] : ['opened', 'lost']);
        assert.equal(seen.logs.includes(texts.PickedUpAgainText), row.reopened);
        // The reopened connection's fresh log still tells of the loss.
        assert.equal(seen.logs.at(-1) === texts.ReconnectedText, row.reopened);
        assert.deepEqual(seen.boxes, []);
    });
}
