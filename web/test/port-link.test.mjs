// The page's hold on an open port, against a port that records what is done to
// it: the way down is always reader, writer, port, once, whoever starts it.

import assert from 'node:assert/strict';
import { test } from 'node:test';
import { PortLink } from '../app/js/port-link.js';

class RecordingPort extends EventTarget {
    constructor() {
        super();
        this.calls = [];
        this.written = [];
        this.readable = new ReadableStream({
            start: (c) => (this.source = c),
            cancel: () => this.calls.push('reader cancelled'),
        });
        this.writable = new WritableStream({ write: (bytes) => this.written.push([...bytes]) });
        const getWriter = this.writable.getWriter.bind(this.writable);
        this.writable.getWriter = () => {
            const writer = getWriter();
            const release = writer.releaseLock.bind(writer);
            writer.releaseLock = () => {
                this.calls.push('writer released');
                release();
            };
            return writer;
        };
    }
    async open(settings) {
        this.calls.push(`opened at ${settings.baudRate}`);
    }
    async close() {
        // A browser port refuses to close while its streams are locked.
        if (this.readable.locked || this.writable.locked) throw new TypeError('locked');
        this.calls.push('port closed');
    }
}

const settle = () => new Promise((resolve) => setTimeout(resolve, 0));
const Down = ['opened at 3686400', 'reader cancelled', 'writer released', 'port closed'];
// A failed stream is cancelled already: its source hears nothing more.
const DownAfterError = ['opened at 3686400', 'writer released', 'port closed'];

const ways = [
    { name: 'the page closes it', end: (link) => link.close(), lost: 0, calls: Down },
    { name: 'the device goes away (disconnect event)', end: (_, port) => port.dispatchEvent(new Event('disconnect')), lost: 1, calls: Down },
    { name: 'a read fails', end: (_, port) => port.source.error(new DOMException('lost', 'NetworkError')), lost: 1, calls: DownAfterError },
    {
        name: 'a read fails and the disconnect event follows',
        end: (_, port) => {
            port.source.error(new DOMException('lost', 'NetworkError'));
            port.dispatchEvent(new Event('disconnect'));
        },
        lost: 1,
        calls: DownAfterError,
    },
];

for (const way of ways) {
    test(`way down when ${way.name}: reader, writer, port, in that order, once`, async () => {
        const port = new RecordingPort();
        let lost = 0;
        const link = new PortLink(port, { bytes: () => {}, lost: () => ++lost });
        await link.open({ baudRate: 3686400 });
        await way.end(link, port);
        await settle();
        await link.close();
        await settle();
        assert.deepEqual(port.calls, way.calls);
        assert.equal(lost, way.lost);
        assert.equal(link.isOpen, false);
    });
}

test('every chunk is handed on as it comes and frames go out in order', async () => {
    const port = new RecordingPort();
    const chunks = [];
    const link = new PortLink(port, { bytes: (c) => chunks.push([...c]), lost: () => {} });
    await link.open({ baudRate: 3686400 });
    port.source.enqueue(new Uint8Array([0xbc, 0x12]));
    port.source.enqueue(new Uint8Array([]));
    port.source.enqueue(new Uint8Array([0x04]));
    link.write(new Uint8Array([1, 2]));
    link.write(new Uint8Array([3]));
    await settle();
    assert.deepEqual(chunks, [[0xbc, 0x12], [0x04]]);
    assert.deepEqual(port.written, [[1, 2], [3]]);
    await link.close();
    link.write(new Uint8Array([4]));
    await settle();
    assert.deepEqual(port.written, [[1, 2], [3]]);
});

// DTR and RTS are cleared right after the open (the roads see it asked); a port
// that refuses is still open, as one without the call (the demo port) is.
test('a port that cannot clear DTR and RTS is open all the same', async () => {
    const port = new RecordingPort();
    port.setSignals = async () => {
        throw new DOMException('Failed to set control signals.', 'NetworkError');
    };
    const link = new PortLink(port, { bytes: () => {}, lost: () => {} });
    await link.open({ baudRate: 3686400 });
    assert.equal(link.isOpen, true);
    await link.close();
    assert.deepEqual(port.calls, Down);
});
