// One open serial port as the device logic sees it: one read loop handing every
// chunk on as it comes, frames written in order, and one way down whether the
// page closes the port or the device goes away.

export class PortLink {
    /**
     * @param {object} port a SerialPort, or anything with its interface
     * @param {{bytes: (chunk: Uint8Array) => void, lost: (why: unknown) => void}} on
     */
    constructor(port, on) {
        this.port = port;
        this.on = on;
        this.reader = null;
        this.writer = null;
        this.loop = null;
        this.down = null;
        this.onDisconnect = () => this.fail(new DOMException('The device has been lost.', 'NetworkError'));
    }

    /** Opens the port with `settings`; rejects as the port's open does. */
    async open(settings) {
        await this.port.open(settings);
        await this.clearSignals();
        this.reader = this.port.readable.getReader();
        this.writer = this.port.writable.getWriter();
        this.port.addEventListener('disconnect', this.onDisconnect);
        this.loop = this.readLoop();
    }

    // DTR and RTS inactive, as the device expects and the window leaves them. A
    // port that has no such lines (or a browser without the call) is no error.
    async clearSignals() {
        try {
            await this.port.setSignals({ dataTerminalReady: false, requestToSend: false });
        } catch {
            // nothing to clear
        }
    }

    async readLoop() {
        try {
            for (;;) {
                const { value, done } = await this.reader.read();
                if (done) return;
                if (value && value.length > 0) this.on.bytes(value);
            }
        } catch (error) {
            this.fail(error);
        }
    }

    /** Queues one frame; the stream keeps the order. */
    write(bytes) {
        if (!this.writer || this.down) return;
        this.writer.write(bytes).catch((error) => this.fail(error));
    }

    get isOpen() {
        return this.reader !== null && this.down === null;
    }

    /** The page closes the port (button, timed close, leaving the page). */
    close() {
        return this.takeDown();
    }

    fail(why) {
        if (this.down) return;
        this.takeDown().then(() => this.on.lost(why));
    }

    // Reader cancelled, writer released, port closed: in that order, once.
    takeDown() {
        if (!this.down) {
            this.down = (async () => {
                this.port.removeEventListener('disconnect', this.onDisconnect);
                if (this.reader) {
                    await this.reader.cancel().catch(() => {});
                    await this.loop;
                    this.reader.releaseLock();
                }
                if (this.writer) this.writer.releaseLock();
                await this.port.close().catch(() => {});
                this.reader = null;
                this.writer = null;
            })();
        }
        return this.down;
    }
}
