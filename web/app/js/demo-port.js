// The "demo" entry of the port list: the module's simulated Vyx behind the same
// interface as a browser serial port, so the page takes one road for both.

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
        // An answer due at once goes out as its own task, neither clamped like a
        // chain of timeouts nor holding up the page's painting like a microtask.
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
        if (wait <= 0) {
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
