// The port button's road: open the chosen port, show the connected state, and
// back down on the button, the timed close, or a device that went away.

import { PortLink } from './port-link.js';
import { matchesIdentity } from './port-list.js';
import * as texts from './port-texts.js';

const LockPrefix = 'vyx-port';
// After a firmware upload the Vyx restarts; a real one comes back as a new USB
// device, whose handle the browser may hand out a moment later.
export const PickUpTries = 5;
export const PickUpPause = 1000;
export const PickUpWindow = 30000;
// The browser's read buffer, as large as the driver buffers the window asks for:
// its default (255 bytes) is smaller than one memory-read reply.
const BufferSize = 4096;

function lockName(port) {
    const info = port.getInfo ? port.getInfo() : {};
    return `${LockPrefix} ${info.usbVendorId ?? '-'}:${info.usbProductId ?? '-'}`;
}

export class Connection {
    /**
     * @param {object} ui {vyx, session, list, box, view, serial, log}
     *   view: {showConnected(), showDisconnected(), setListEnabled(enabled)}
     *   and, for tests, locks (navigator.locks) and pause(ms) (a promise)
     */
    constructor(ui) {
        Object.assign(this, ui);
        this.locks ??= globalThis.navigator?.locks;
        this.pause ??= (ms) => new Promise((resolve) => setTimeout(resolve, ms));
        this.link = null;
        this.releaseLock = null;
        this.busy = false;
        this.lostAt = null;
        if (this.serial) {
            this.serial.addEventListener('connect', (event) => this.pickUpAgain(event.target));
        }
    }

    get isOpen() {
        return this.link !== null;
    }

    /** ButtonVCPClick. The chooser needs the click itself, so it is asked first. */
    async toggle() {
        if (this.busy) return;
        if (this.link) {
            await this.close(true);
            return;
        }
        const entry = this.list.selected();
        if (!entry) {
            this.view.showDisconnected(false);
            return;
        }
        this.busy = true;
        try {
            const port = await this.portOf(entry);
            if (port) await this.open(port);
        } finally {
            this.busy = false;
            if (!this.link) this.view.showDisconnected(false);
        }
    }

    async portOf(entry) {
        if (entry.kind === 'demo') return this.list.demoPort();
        if (entry.kind === 'serial') return entry.port;
        if (!this.serial) {
            await this.box.show(texts.NoSerialText, texts.BoxCaption, 'error');
            return null;
        }
        const identity = this.vyx.usbIdentity();
        const filters = identity.vendorId ? [{ usbVendorId: identity.vendorId, usbProductId: identity.productId }] : [];
        try {
            const port = await this.serial.requestPort({ filters });
            await this.list.show(port);
            return port;
        } catch (error) {
            const text = texts.chooserFailure(error);
            if (text) {
                await this.box.show(text, texts.BoxCaption, 'error');
            } else {
                this.log.append(texts.ChooserCancelledText);
            }
            return null;
        }
    }

    /** Opens `port`; a refusal is explained in a box unless `quiet`. */
    async open(port, quiet = false) {
        const link = new PortLink(port, {
            bytes: (chunk) => this.received(chunk),
            lost: () => this.lost(link, port),
        });
        try {
            await link.open({ ...this.vyx.portSettings(), bufferSize: BufferSize });
        } catch (error) {
            if (quiet) return false;
            const otherTab = await this.heldElsewhere(port);
            await this.box.show(otherTab ? texts.OtherTabText : texts.openFailure(error), texts.BoxCaption, 'error');
            return false;
        }
        this.link = link;
        this.lostAt = null;
        this.holdLock(port);
        this.session.portOpened();
        this.view.showConnected();
        this.view.setListEnabled(false);
        return true;
    }

    received(chunk) {
        clearTimeout(this.receiveTimer);
        const wait = this.session.receive(chunk);
        if (wait > 0) this.receiveTimer = setTimeout(() => this.session.receiveTimeout(), wait);
    }

    /** The button (`byButton`) or the timed close. */
    async close(byButton) {
        const link = this.link;
        if (!link) return;
        this.link = null;
        clearTimeout(this.receiveTimer);
        await link.close();
        this.dropLock();
        this.session.portClosed();
        this.view.showDisconnected(true);
        // A device in operating mode was told what to do; the list stays as it was.
        if (byButton || !this.session.identity().operatingMode) this.view.setListEnabled(true);
    }

    lost(link, port) {
        if (this.link !== link) return;
        this.link = null;
        clearTimeout(this.receiveTimer);
        this.dropLock();
        this.lostAt = { port, time: performance.now(), afterUpload: this.session.identity().action === 'upload' };
        this.session.portLost();
        this.view.showDisconnected(true);
        this.view.setListEnabled(true);
    }

    /** Leaving the page: the port is closed, nothing else. */
    leave() {
        if (this.link) this.link.close();
    }

    // A Vyx that went away during or right after its firmware upload comes back
    // as a new port: open it again without the chooser, a few times if needed.
    async pickUpAgain(port) {
        const last = this.lostAt;
        if (!last || !last.afterUpload || this.link || performance.now() - last.time > PickUpWindow) return;
        const identity = this.vyx.usbIdentity();
        for (let attempt = 0; attempt < PickUpTries && !this.link; ++attempt) {
            const ports = await this.serial.getPorts();
            const found = ports.find((p) => p === port) ?? ports.find((p) => matchesIdentity(p, identity));
            if (found) {
                this.log.append(texts.PickedUpAgainText);
                await this.list.show(found);
                if (await this.open(found, true)) {
                    this.log.append(texts.ReconnectedText);
                    return;
                }
            }
            await this.pause(PickUpPause);
        }
    }

    // Another tab of this site that holds the port says so through a lock, which
    // tells "open in another tab" apart from the other reasons.
    holdLock(port) {
        if (!this.locks || port.getInfo().usbVendorId === undefined) return;
        this.locks.request(lockName(port), () => new Promise((resolve) => (this.releaseLock = resolve)));
    }

    dropLock() {
        if (this.releaseLock) this.releaseLock();
        this.releaseLock = null;
    }

    async heldElsewhere(port) {
        if (!this.locks || port.getInfo().usbVendorId === undefined) return false;
        const state = await this.locks.query();
        return state.held.some((lock) => lock.name === lockName(port));
    }
}
