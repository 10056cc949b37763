// The "demo" entry of the port list: the module's simulated Vyx behind the same
// interface as a browser serial port, so the page takes one road for both.

// One answer in this many given at once waits for a task of its own.
const YieldEvery = 32;

export class DemoPort extends EventTarget {
    /** @param vyx the loaded module; `options` those of its DemoDevice. */
    constructor(vyx, options = {}) {
        super();
        this.vyx = vyx;
        this.options = options;
        this.device = null;
        this.readable = null;
        this.writable = null;
        this.timer = 0;
        // Answers due at once go out without waiting for a task, as a device on
        // a cable answers; now and then one waits for a task of its own, so the
        // page still paints during an upload (timeouts would be clamped instead).
        this.atOnce = 0;
        this.channel = new MessageChannel();
        this.channel.port1.onmessage = () => this.pump();
    }

    getInfo() {
        return {};
    }

    async open() {
        if (this.readable) throw new DOMException('The port is already open.', 'InvalidStateError');
        // One device for the port's life: what was written to it is read back
        // after the next open, as from a real Vyx.
        this.device ??= new this.vyx.DemoDevice(this.options);
        let controller;
        this.readable = new ReadableStream({
            start: (c) => {
                controller = c;
            },
        });
        this.controller = controller;
        this.writable = new WritableStream({
            write: (bytes) => {
                if (!this.readable) return;
                this.device.receive(bytes, performance.now());
                this.schedule();
            },
        });
        this.device.opened(performance.now());
        this.schedule();
    }

    schedule() {
        clearTimeout(this.timer);
        const due = this.device.nextDue();
        if (due < 0) return;
        const wait = due - performance.now();
        if (wait <= 0 && ++this.atOnce % YieldEvery !== 0) {
            queueMicrotask(() => this.pump());
        } else if (wait <= 0) {
            this.channel.port2.postMessage(0);
        } else {
            this.timer = setTimeout(() => this.pump(), wait);
        }
    }

    pump() {
        if (!this.readable) return;
        for (const chunk of this.device.tick(performance.now())) this.controller.enqueue(chunk);
        if (this.device.hungUp()) {
            this.controller.error(new DOMException('The device has been lost.', 'NetworkError'));
            this.dispatchEvent(new Event('disconnect'));
            return;
        }
        this.schedule();
    }

    async close() {
        if (this.readable?.locked || this.writable?.locked) {
            throw new TypeError('Cannot close a port whose streams are locked.');
        }
        clearTimeout(this.timer);
        if (this.readable) this.device.closed();
        this.readable = null;
        this.writable = null;
    }
}
