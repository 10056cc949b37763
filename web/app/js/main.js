// The page's start: load the module, build the editor from its record layout,
// and wire the window's controls to the device session.

import { Batch } from './batch.js';
import { Connection } from './connection.js';
import { DemoPort } from './demo-port.js';
import { Editor } from './editor.js';
import { History } from './history.js';
import { LogPane } from './log-pane.js';
import { MessageBox } from './message-box.js';
import { startOffline } from './offline.js';
import { PortList } from './port-list.js';
import { NoSerialText, BoxCaption } from './port-texts.js';
import { Profiles } from './profiles.js';
import { NotRecordedText, RecordStore } from './record-store.js';

const $ = (id) => document.getElementById(id);
const Glyphs = { connected: 'icons/connected.svg', disconnected: 'icons/disconnected.svg' };
// The window's client widths, narrow and wide (see style.css).
const NarrowWidth = 557;
const WideWidth = 853;
const ModuleFailedText = 'A página não conseguiu carregar o seu módulo. Recarregue a página.';
// Shown inside another site's frame, the page could be steered by that site
// (its clicks, its serial permission): it refuses to run there.
const FramedText =
    'O VyxTool não funciona dentro de outra página. Abra-o diretamente pelo seu endereço: ';

/** Options of the demo device from the address: ?demo-release=2.39&demo-chunk=64 ... */
function demoOptions(search) {
    const query = new URLSearchParams(search);
    const options = { oldRelease: (query.get('demo-release') ?? '2.38') === '2.38' };
    if (query.get('demo-mode') === 'operating') options.operatingMode = true;
    if (query.has('demo-chunk')) options.chunkSize = Number(query.get('demo-chunk')) || 0;
    if (query.has('demo-hangup')) options.hangUpAfterPackage = Number(query.get('demo-hangup')) || 0;
    return options;
}

class Timers {
    constructor(vyx, fire) {
        this.vyx = vyx;
        this.fire = fire;
        this.running = new Map();
    }

    set(id, enabled) {
        clearInterval(this.running.get(id));
        this.running.delete(id);
        if (enabled) this.running.set(id, setInterval(() => this.fire(id), this.vyx.timerInterval(id)));
    }
}

/** The page inside a frame: the message, every control off, no module, no port. */
function refuseFramed() {
    const line = document.createElement('div');
    line.textContent = FramedText + location.href.split(/[?#]/)[0];
    $('Log').append(line);
    for (const control of document.querySelectorAll('button, select, input')) control.disabled = true;
    $('Form1').setAttribute('aria-busy', 'false');
}

async function start() {
    if (window.top !== window.self) {
        refuseFramed();
        return;
    }
    // First, so that a word from the worker about an update is not missed.
    startOffline($('L_Msg'));
    const box = new MessageBox($('MsgBox'));
    let vyx;
    try {
        const { default: createVyx } = await import('../vyx.js');
        vyx = await createVyx();
    } catch (error) {
        box.show(`${ModuleFailedText}\n\n(${error})`, BoxCaption, 'error');
        throw error;
    }

    const version = vyx.toolVersion();
    document.title = `VyxTool v${version}`;
    $('Caption').textContent = document.title;
    $('Version').textContent = `VyxTool v${version}`;
    $('L_Site').textContent = vyx.productPageUrl();
    $('L_Site').href = vyx.productPageUrl();

    const panes = {
        log: new LogPane($('Log'), vyx.logMaxLines()),
        idList: new LogPane($('LogIdList'), vyx.logMaxLines()),
    };
    const editor = new Editor($('GB_Config'), vyx);
    const writeButton = $('B_SetConfig');
    const calvera = $('Cb_Calvera').querySelector('input');
    const autoClose = $('Cb_COMAutoClose').querySelector('input');
    let connection = null;
    let timers = null;
    let profiles = null;
    let batch = null;
    // The service record: each kept step's visit replaces its row; where the
    // browser keeps nothing, the visit's connection log says so once.
    const store = await RecordStore.open(panes.log);
    const unrecorded = new Set();
    const recordVisit = (row) => {
        if (store) {
            store.put(row);
        } else if (!unrecorded.has(row.uuid)) {
            unrecorded.add(row.uuid);
            // After the opened connection's log is started afresh.
            queueMicrotask(() => panes.log.append(NotRecordedText));
        }
    };

    const host = {
        appendLog: (pane, text) => panes[pane].append(text),
        setLogColour: (pane, colour) => panes[pane].setColour(colour),
        clearLog: (pane) => panes[pane].clear(),
        setIdListText: (text) => ($('L_IdList').textContent = text),
        setProgressMax: (maximum) => ($('ProgressBar1').max = Math.max(1, maximum)),
        setProgress: (position) => ($('ProgressBar1').value = position),
        showMessage: (text, caption, icon) => void box.show(text, caption, icon),
        setTimerEnabled: (id, enabled) => timers.set(id, enabled),
        write: (bytes) => connection.link?.write(bytes),
        readEditor: () => editor.read(),
        applyEditor: (snapshot) => editor.apply(snapshot),
        clearListSelections: () => editor.clearListSelections(),
        emptyField: (control) => editor.emptyField(control),
        setWriteEnabled: (enabled) => {
            writeButton.disabled = !enabled;
            // A read or write just ended: the editor holds what the device holds.
            profiles?.deviceHolds(enabled ? editor.read() : null);
        },
        calveraChecked: () => calvera.checked,
        autoCloseChecked: () => autoClose.checked,
        recordVisit,
        // The session's outcomes: "modo lote" steps on them (made after the session).
        outcome: (o) => batch?.outcome(o),
    };
    const session = new vyx.Session(host);
    timers = new Timers(vyx, (id) => {
        // Timer 2 is the timed close: it runs once and closes the port.
        if (id === 2) {
            timers.set(2, false);
            connection.close(false);
        } else {
            session.tick(id);
        }
    });

    const button = $('ButtonVCP');
    const portList = $('ComboBox1');
    const view = {
        showConnected() {
            button.setAttribute('aria-pressed', 'true');
            $('Glyph').src = Glyphs.connected;
            editor.clearListSelections();
            editor.emptyForConnection();
            $('B_RemConfig').disabled = true;
            profiles?.deviceHolds(null);
        },
        showDisconnected(wasOpen) {
            button.setAttribute('aria-pressed', 'false');
            $('Glyph').src = Glyphs.disconnected;
            if (wasOpen) {
                writeButton.disabled = true;
                $('B_RemConfig').disabled = false;
                profiles?.deviceHolds(null);
            }
        },
        setListEnabled(enabled) {
            portList.disabled = !enabled;
        },
    };

    const serial = navigator.serial;
    const list = new PortList(portList, serial, () => new DemoPort(vyx, demoOptions(location.search)));
    await list.refill(true);
    connection = new Connection({ vyx, session, list, box, view, serial, log: panes.log });
    // "modo lote": each Vyx plugged in served whole with the opened profile.
    const storage = globalThis.localStorage ?? null;
    batch = new Batch({ vyx, session, connection, list, editor, log: panes.log, serial, toggle: $('Batch'), storage });
    batch.follow(host, view);
    const opened = (snapshot) => batch.profileOpened(snapshot);
    profiles = new Profiles(session, box, $('ProfileFile'), { vyx, editor, log: panes.log, opened });

    const history = new History($('History'), { vyx, session, store });
    $('HistoryButton').addEventListener('click', () => history.show());

    portList.addEventListener('mousedown', () => list.refill(true));
    portList.addEventListener('keydown', (event) => {
        if (event.key === 'F4' || (event.altKey && event.key === 'ArrowDown')) list.refill(true);
    });
    button.addEventListener('click', () => connection.toggle());
    writeButton.addEventListener('click', () => session.writeConfig());
    $('B_SetDefaults').addEventListener('click', () => session.fillDefaults());
    $('B_SetCalvera').addEventListener('click', () => session.fillCalvera());
    $('B_RemConfig').addEventListener('click', () => session.remoteCommands());
    $('B_SaveProfile').addEventListener('click', () => profiles.save());
    $('B_OpenProfile').addEventListener('click', () => profiles.open());
    $('L_Clear').addEventListener('click', () => session.clearIdList());
    // A browser window narrower than the form shows it smaller rather than cut off.
    const fit = () => {
        const form = $('Form1');
        const width = form.classList.contains('wide') ? WideWidth : NarrowWidth;
        form.style.zoom = String(Math.min(1, document.documentElement.clientWidth / width));
    };
    window.addEventListener('resize', fit);
    fit();
    const toggleWide = () => {
        const wide = $('Form1').classList.toggle('wide');
        // The hidden pane's controls take no focus and no input: a stray Tab and
        // Space must not tick "Forçar configuração Calvera" unseen.
        for (const control of document.querySelectorAll('.wide-only')) control.inert = !wide;
        $('Wide').setAttribute('aria-pressed', String(wide));
        fit();
    };
    $('Wide').addEventListener('click', toggleWide);
    document.addEventListener('keydown', (event) => {
        const key = event.key.toLowerCase();
        if (event.ctrlKey && event.altKey && event.shiftKey && event.key === 'F11') {
            event.preventDefault();
            toggleWide();
        } else if (event.ctrlKey && !event.altKey && !event.shiftKey && key === 'h') {
            event.preventDefault();
            history.show();
        } else if (event.ctrlKey && !event.altKey && !event.shiftKey && (key === 's' || key === 'o')) {
            event.preventDefault();
            if (key === 's') profiles.save();
            else profiles.open();
        }
    });

    // An upload or write under way: the browser asks before the page goes.
    window.addEventListener('beforeunload', (event) => {
        if (session.progress().transferRunning) {
            event.preventDefault();
            event.returnValue = '';
        }
    });
    window.addEventListener('pagehide', () => {
        connection.leave();
        // The lines logged since the visit's last step.
        const row = session.visitRecord();
        if (row && store) store.put(row);
    });

    if (!serial) {
        list.selectDemo();
        panes.log.append(NoSerialText);
    }
    $('Form1').setAttribute('aria-busy', 'false');
    performance.mark('vyx-ready');
}

start();
