// Stands in for navigator.serial before the page loads: one port, already
// granted, with the browser port's interface (open with its options, readable
// and writable streams, close, getInfo, the disconnect event, a lost device's
// read error, the control lines asked for in `signals`, `plug()` for a unit
// plugged in). Its bytes go through the site's /bridge WebSocket to a
// pseudo-terminal, each message handed on in
// chunks of at most `chunkSize` bytes (a setting, changeable on the port);
// `messages` and `backlog()` count the messages in and the chunks not yet read.
// The socket closing is the cable pulled.
// Settings come in `globalThis.VyxTestPortSettings`: {chunkSize, usbVendorId, usbProductId}.
(() => {
    const settings = globalThis.VyxTestPortSettings ?? {};
    const lost = () => new DOMException('The device has been lost.', 'NetworkError');

    class TestSerial extends EventTarget {
        constructor() {
            super();
            this.granted = [];
            this.opens = [];
            this.signals = [];
        }
        async getPorts() {
            return [...this.granted];
        }
        /** The test plugs in a newly granted unit: the browser's connect event, from its port. */
        plug() {
            const port = new TestPort(this);
            this.granted.push(port);
            this.dispatchEvent(Object.defineProperty(new Event('connect'), 'target', { value: port }));
            return this.granted.length - 1;
        }
        async requestPort() {
            if (this.granted.length === 0) this.granted.push(new TestPort(this));
            return this.granted[0];
        }
    }

    class TestPort extends EventTarget {
        constructor(serial) {
            super();
            this.serial = serial;
            this.readable = null;
            this.writable = null;
            this.socket = null;
            this.chunkSize = settings.chunkSize || 0;
            this.messages = 0;
            this.backlog = () => 0;
        }
        getInfo() {
            return { usbVendorId: settings.usbVendorId ?? 0x1209, usbProductId: settings.usbProductId ?? 0x5659 };
        }
        async open(options) {
            if (this.socket) throw new DOMException('The port is already open.', 'InvalidStateError');
            this.serial.opens.push(options);
            const socket = new WebSocket(new URL('/bridge', location.href).href.replace(/^http/, 'ws'));
            socket.binaryType = 'arraybuffer';
            await new Promise((resolve, reject) => {
                socket.onopen = resolve;
                socket.onclose = () => reject(new DOMException('Failed to open serial port.', 'NetworkError'));
            });
            this.socket = socket;
            this.readable = new ReadableStream({
                start: (controller) => {
                    this.backlog = () => 1 - controller.desiredSize;
                    socket.onmessage = (event) => {
                        ++this.messages;
                        const bytes = new Uint8Array(event.data);
                        const step = this.chunkSize || bytes.length;
                        for (let i = 0; i < bytes.length; i += step) controller.enqueue(bytes.slice(i, i + step));
                    };
                    socket.onclose = () => {
                        if (this.socket !== socket) return;
                        controller.error(lost());
                        this.dispatchEvent(new Event('disconnect'));
                        this.serial.dispatchEvent(Object.assign(new Event('disconnect'), { port: this }));
                    };
                },
                cancel: () => {},
            });
            this.writable = new WritableStream({
                write: (bytes) => {
                    if (socket.readyState !== WebSocket.OPEN) throw lost();
                    socket.send(bytes);
                },
            });
        }
        async setSignals(signals) {
            if (!this.socket) throw new DOMException('The port is closed.', 'InvalidStateError');
            this.serial.signals.push(signals);
        }
        async close() {
            if (this.readable?.locked || this.writable?.locked) {
                throw new TypeError('Cannot close a port whose streams are locked.');
            }
            const socket = this.socket;
            this.socket = null;
            this.readable = null;
            this.writable = null;
            if (socket) socket.close();
        }
        /** The test pulls the cable. */
        pull() {
            if (this.socket) this.socket.close();
        }
    }

    const serial = new TestSerial();
    serial.granted.push(new TestPort(serial));
    Object.defineProperty(Navigator.prototype, 'serial', { get: () => serial, configurable: true });
})();
