// The port list (ComboBox1): ports this site was granted before, the demo
// device, and an entry that opens the browser's chooser. Refilled each time it
// drops down and when a granted port comes or goes.

export const DemoLabel = 'demo';
export const ChooseLabel = 'escolher...';

/** The label of a granted port: its USB identity when the browser gives one. */
export function portLabel(port, index) {
    const info = port.getInfo ? port.getInfo() : {};
    return info.usbVendorId !== undefined ? `USB ${index + 1}` : `Porta ${index + 1}`;
}

/** Whether `port` is the Vyx by its USB identity (any port when none is known). */
export function matchesIdentity(port, identity) {
    if (!identity || !identity.vendorId) return true;
    const info = port.getInfo ? port.getInfo() : {};
    return info.usbVendorId === identity.vendorId && info.usbProductId === identity.productId;
}

export class PortList {
    /**
     * @param {HTMLSelectElement} select ComboBox1
     * @param {object|undefined} serial navigator.serial, absent in most browsers
     * @param {() => object} makeDemo the demo port
     */
    constructor(select, serial, makeDemo) {
        this.select = select;
        this.serial = serial;
        this.makeDemo = makeDemo;
        this.entries = [];
        if (serial) {
            serial.addEventListener('connect', () => this.refill(false));
            serial.addEventListener('disconnect', () => this.refill(false));
        }
    }

    /**
     * Fills the list. `firstSelected`: select the first entry as the window
     * does on drop-down; otherwise keep the entry that was selected.
     */
    async refill(firstSelected) {
        const before = this.selected();
        const granted = this.serial ? await this.serial.getPorts().catch(() => []) : [];
        const entries = granted.map((port, i) => ({ kind: 'serial', label: portLabel(port, i), port }));
        // The chooser before the demo, so that a first visit with a Vyx at hand
        // has the chooser selected.
        if (this.serial) entries.push({ kind: 'choose', label: ChooseLabel, port: null });
        const demo = this.entries.find((entry) => entry.kind === 'demo');
        entries.push(demo ?? { kind: 'demo', label: DemoLabel, port: null });
        this.entries = entries;
        this.select.replaceChildren(...entries.map((entry) => new Option(entry.label)));
        const kept = before ? entries.findIndex((e) => e.kind === before.kind && e.port === before.port) : -1;
        this.select.selectedIndex = firstSelected || kept < 0 ? 0 : kept;
    }

    selected() {
        return this.entries[this.select.selectedIndex] ?? null;
    }

    /** Selects the entry of `port` (a port granted just now, or the demo). */
    async show(port) {
        await this.refill(false);
        const index = this.entries.findIndex((entry) => entry.port === port);
        if (index >= 0) this.select.selectedIndex = index;
    }

    /** The demo port, made once so that it keeps its state between opens. */
    demoPort() {
        const entry = this.entries.find((e) => e.kind === 'demo');
        if (!entry.port) entry.port = this.makeDemo();
        return entry.port;
    }

    selectDemo() {
        this.select.selectedIndex = this.entries.findIndex((e) => e.kind === 'demo');
    }
}
