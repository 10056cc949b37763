// "modo lote": with a profile opened and the switch on, every Vyx plugged in
// (a port this site was granted, announced by the browser's connect event) is
// served whole and closed: its firmware updated when older (the session does it
// on its own), its configuration read, the profile written when the unit differs
// and read back, then the port closed. Each unit's outcome is said in the log;
// "pronto" only for a unit that holds the profile once it is closed.

import { PickUpPause, PickUpTries, PickUpWindow } from './connection.js';
import { matchesIdentity } from './port-list.js';

export const StorageKey = 'vyx-batch';
export const ReadyText = 'pronto — conecte o próximo Vyx';
export const AlreadyText = 'já estava conforme o perfil';
export const NoVyxText = 'Nenhum Vyx respondeu nesta porta: fechada sem gravar nada.';
export const NotDoneText = 'O Vyx não foi concluído: conecte-o de novo para terminar.';
export const ReadBackText = 'A configuração lida de volta difere do perfil:';
export const OtherIdText = (id) => `Depois de reiniciar, o Vyx anunciou outro ID (${id}): parado sem gravar.`;
// A Vyx announces itself within a second of the port opening; a port silent
// this long is someone else's device.
export const IdentityWait = 5000;
// How long the connection may take to pick up a unit restarting after its upload.
const PickUpWait = PickUpWindow + PickUpTries * PickUpPause;

/**
 * One unit at a time, from the port opened to the port closed. A visit's step:
 * 'identity' (opened, the unit's configuration not read yet), 'writing' (the
 * profile), 'checking' (reading it back); and the ID the unit first announced.
 */
export class Batch {
    /**
     * @param {object} ui {vyx, session, connection, list, editor, log, serial, toggle, storage}
     *   toggle: the switch (a checkbox); storage: localStorage or null;
     *   and, for tests, after(ms, fn) (a timer; returns what cancel takes) and cancel(timer)
     */
    constructor(ui) {
        Object.assign(this, ui);
        this.after ??= (ms, fn) => setTimeout(fn, ms);
        this.cancel ??= (timer) => clearTimeout(timer);
        this.profile = null;
        this.visit = null;
        this.toggle.checked = this.storage?.getItem(StorageKey) === 'on';
        this.toggle.addEventListener('change', () =>
            this.storage?.setItem(StorageKey, this.toggle.checked ? 'on' : 'off'),
        );
        this.serial?.addEventListener('connect', (event) => this.plugged(event.target));
    }

    get on() {
        return this.toggle.checked && this.profile !== null;
    }

    /** The profile the units get: the editor as the opened file set it. */
    profileOpened(snapshot) {
        this.profile = snapshot;
    }

    /**
     * The port opened, as the page's view shows it (the session has no outcome
     * for it); while a unit is served, the batch closes it itself, not "Fechar
     * após configurar".
     */
    follow(host, view) {
        const autoClose = host.autoCloseChecked;
        host.autoCloseChecked = () => !this.visit && autoClose();
        const showConnected = view.showConnected;
        view.showConnected = (...args) => {
            showConnected(...args);
            this.opened();
        };
    }

    /** One of the session's outcomes (the page host's `outcome`). */
    outcome(o) {
        const visit = this.visit;
        // Told from inside a session call, which may not be called back: the batch's step comes after.
        if (visit) queueMicrotask(() => this.visit === visit && !visit.closing && this.step(visit, o));
    }

    step(visit, o) {
        switch (o.kind) {
            case 'identified':
                this.identified(visit, o.idText);
                break;
            case 'read':
                // A rejected block: the session writes the defaults over it first.
                if (!o.repaired) this.compare(visit);
                break;
            case 'written':
                this.written(visit);
                break;
            case 'readBack':
                this.checked(o);
                break;
            case 'failed':
            case 'cut':
                // One that came with the port going down is the close's to judge.
                if (this.connection.isOpen) this.finish(NotDoneText, false);
                break;
            case 'closed':
            case 'lost':
                this.closed(visit);
                break;
        }
    }

    // A granted port came: a Vyx by its USB identity is opened, unless the page
    // has a port open or a unit under way (one restarting after its upload is
    // the connection's to pick up).
    async plugged(port) {
        const connection = this.connection;
        if (!this.on || !port || this.visit || connection.isOpen || connection.busy) return;
        if (!matchesIdentity(port, this.vyx.usbIdentity())) return;
        this.visit = { step: 'identity', timer: null, closing: false, openedAt: 0, idText: null };
        connection.busy = true;
        try {
            await this.list.show(port);
            if (!(await connection.open(port, true))) this.visit = null;
        } finally {
            connection.busy = false;
        }
    }

    // Also the pick-up after the firmware restart: the same unit, announcing again.
    opened() {
        const visit = this.visit;
        if (!visit) return;
        this.cancel(visit.timer);
        visit.step = 'identity';
        visit.openedAt = performance.now();
        visit.timer = this.after(IdentityWait, () => this.identityDue(visit));
    }

    // No identity: no Vyx, never written. A product line the tool does not serve: not done.
    identityDue(visit) {
        const identity = this.session.identity();
        if (this.visit !== visit || visit.closing || (identity.handled && identity.action !== 'nothing')) return;
        this.finish(identity.handled ? NotDoneText : NoVyxText, false);
    }

    // A unit restarted after its upload must be the one that was plugged in.
    identified(visit, idText) {
        visit.idText ??= idText;
        if (idText === visit.idText) return;
        this.log.append(OtherIdText(idText));
        this.finish(NotDoneText, false);
    }

    // The unit's configuration as read, in the editor: conforming, or the profile written.
    compare(visit) {
        const differences = this.vyx.profileDiffLines(this.editor.read(), this.profile);
        if (differences.length === 0) {
            this.log.append(AlreadyText);
            this.finish(null, true);
            return;
        }
        for (const line of differences) this.log.append(line);
        visit.step = 'writing';
        this.editor.apply(this.profile);
        if (!this.session.writeConfig()) this.finish(NotDoneText, false);
    }

    // The profile is read back; the defaults over a rejected block are read as any unit's.
    written(visit) {
        if (visit.step === 'writing') {
            visit.step = 'checking';
            this.session.readBack();
        } else {
            this.session.readConfig();
        }
    }

    checked(readBack) {
        if (readBack.equal) {
            this.finish(null, true);
            return;
        }
        this.log.append(ReadBackText);
        this.log.append(readBack.difference);
        this.finish(NotDoneText, false);
    }

    // The unit's outcome: the port closed by the batch, then the line.
    async finish(text, done) {
        const visit = this.visit;
        visit.closing = true;
        this.cancel(visit.timer);
        await this.connection.close(false);
        if (this.visit === visit) this.visit = null;
        if (text) this.log.append(text);
        if (done) this.log.append(ReadyText);
    }

    // The port went down without the batch: a unit restarting after its upload
    // is picked up again by the connection; anything else leaves the unit not done.
    closed(visit) {
        this.cancel(visit.timer);
        const lost = this.connection.lostAt;
        if (lost && lost.afterUpload && lost.time >= visit.openedAt) {
            visit.timer = this.after(PickUpWait, () => this.pickUpMissed(visit));
            return;
        }
        this.visit = null;
        this.log.append(NotDoneText);
    }

    pickUpMissed(visit) {
        if (this.visit !== visit || this.connection.isOpen) return;
        this.visit = null;
        this.log.append(NotDoneText);
    }
}
