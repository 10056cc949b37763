// The configuration editor, built from the module's record layout: the module
// gives every control's name, label, group, limits and boxes; this file only
// places them where the window has them and keeps the controls as the values.

const GroupPlaces = {
    GB_VMX: [10, 78, 249, 150],
    GB_ACP: [268, 78, 270, 73],
    GB_ACN: [268, 155, 270, 73],
    GB_VCH: [10, 238, 249, 150],
    GB_RPX: [268, 238, 270, 150],
    GB_BGL: [10, 398, 249, 183],
    GB_OSC: [268, 398, 270, 183],
};

// Value edits: label x, y, then the edit's x, y, width, height (in its group).
const FieldPlaces = {
    ED_ACP: [26, 23, 210, 20, 32, 21],
    ED_ACN: [8, 23, 210, 20, 32, 21],
    ED_VMX: [10, 18, 190, 15, 32, 20],
    ED_TVMX: [45, 50, 190, 47, 32, 21],
    ED_VCH: [10, 18, 190, 15, 32, 20],
    ED_TVCH: [45, 50, 190, 47, 32, 21],
    ED_RPX: [10, 18, 210, 15, 32, 20],
    ED_TRPX: [45, 50, 210, 47, 32, 21],
    ED_TOSC: [18, 23, 210, 28, 32, 21],
    ED_XOSC: [18, 64, 210, 68, 32, 21],
    ED_VBGL: [10, 21, 190, 18, 32, 21],
    ED_RBGL: [25, 51, 190, 48, 32, 21],
    ED_TBGL: [45, 81, 190, 78, 32, 21],
};

// Box groups of the triple conditions: buzzer x, y, width; event x, y.
const BoxGroupPlaces = {
    GB_VMX: [8, 75, 105, 118, 75],
    GB_VCH: [8, 75, 105, 118, 75],
    GB_RPX: [8, 75, 105, 139, 75],
    GB_OSC: [8, 107, 113, 139, 107],
    GB_BGL: [8, 107, 105, 118, 107],
};
const BoxGroupHeight = 66;
const EventGroupWidth = 123;
const SpinnerWidth = 16;

function place(element, x, y, w, h) {
    element.style.left = `${x}px`;
    element.style.top = `${y}px`;
    if (w !== undefined) element.style.width = `${w}px`;
    if (h !== undefined) element.style.height = `${h}px`;
    return element;
}

function make(tag, className, parent, text) {
    const element = document.createElement(tag);
    if (className) element.className = className;
    if (text !== undefined) element.textContent = text;
    parent.append(element);
    return element;
}

function makeGroup(parent, id, caption, [x, y, w, h], extraClass = '') {
    const group = place(make('div', `group frame ${extraClass}`, parent), x, y, w, h);
    if (id) group.id = id;
    make('span', 'caption', group, caption);
    return group;
}

function makeBox(parent, control, caption, className) {
    const label = make('label', `box ${className}`, parent);
    const input = make('input', '', label);
    input.type = 'checkbox';
    input.id = control;
    label.append(caption);
    return input;
}

// The window's spinner: its own position within its range, taking a typed
// number that fits as the position before stepping.
function stepSpinner(edit, spin, state, delta) {
    const typed = /^[0-9]+$/.test(edit.value) ? Number(edit.value) : NaN;
    if (typed >= spin.min && typed <= spin.max) state.position = typed;
    state.position = Math.min(spin.max, Math.max(spin.min, state.position + delta));
    edit.value = String(state.position);
}

export class Editor {
    /** @param {HTMLElement} config the GB_Config group; `vyx` the loaded module. */
    constructor(config, vyx) {
        this.vyx = vyx;
        this.rows = vyx.recordLayout();
        this.lists = new Map();
        this.edits = new Map();
        this.boxes = new Map();
        this.build(config);
    }

    build(config) {
        const groups = new Map();
        const groupOf = (row) => {
            if (!groups.has(row.group)) {
                groups.set(row.group, makeGroup(config, row.group, row.groupCaption, GroupPlaces[row.group]));
            }
            return groups.get(row.group);
        };
        for (const row of this.rows) {
            if (row.kind === 'list') {
                this.buildList(row);
            } else if (row.kind === 'value') {
                this.buildValue(groupOf(row), row);
            } else {
                this.buildAction(groupOf(row), row);
            }
        }
    }

    buildList(row) {
        const list = document.getElementById(row.control);
        for (const choice of row.choices) make('option', '', list, choice);
        list.selectedIndex = -1;
        this.lists.set(row.control, list);
    }

    buildValue(group, row) {
        const [lx, ly, x, y, w, h] = FieldPlaces[row.control];
        place(make('span', 'field-label', group, row.label), lx, ly);
        const holder = place(make('span', 'edit', group), x, y, w, h);
        const edit = make('input', '', holder);
        edit.type = 'text';
        edit.id = row.control;
        edit.inputMode = 'numeric';
        edit.maxLength = row.maxLength;
        edit.setAttribute('aria-label', row.label.replace(/\n/g, ' '));
        const spinner = place(make('span', 'spinner', group), x + w, y, SpinnerWidth, h);
        const state = { position: row.spin.start };
        for (const [delta, arrow] of [[1, '▲'], [-1, '▼']]) {
            const button = make('button', '', spinner, arrow);
            button.type = 'button';
            button.tabIndex = -1;
            button.addEventListener('click', () => stepSpinner(edit, row.spin, state, delta));
        }
        if (row.spin.arrowKeys) {
            edit.addEventListener('keydown', (event) => {
                const delta = { ArrowUp: 1, ArrowDown: -1 }[event.key];
                if (!delta) return;
                event.preventDefault();
                stepSpinner(edit, row.spin, state, delta);
            });
        }
        this.edits.set(row.control, edit);
    }

    buildAction(group, row) {
        if (row.kind === 'singleAction') {
            // ACP and ACN: one buzzer box and one event box side by side.
            row.boxes.forEach((box, i) => {
                const input = makeBox(group, box.control, box.caption, 'strong');
                place(input.parentElement, i === 0 ? 8 : 125, 47, i === 0 ? 110 : 130, 17);
                this.boxes.set(box.control, input);
            });
            return;
        }
        const [bx, by, bw, ex, ey] = BoxGroupPlaces[row.group];
        const code = row.group.slice(3);
        const buzzer = makeGroup(group, `GB_BZ_${code}`, row.buzzerCaption, [bx, by, bw, BoxGroupHeight], 'boxes');
        const event = makeGroup(group, `GB_EV_${code}`, row.eventCaption, [ex, ey, EventGroupWidth, BoxGroupHeight], 'boxes');
        let buzzerIndex = 0;
        let eventIndex = 0;
        for (const box of row.boxes) {
            const parent = box.buzzer ? buzzer : event;
            const index = box.buzzer ? buzzerIndex++ : eventIndex++;
            const width = (box.buzzer ? bw : EventGroupWidth) - 14;
            const input = makeBox(parent, box.control, box.caption, '');
            place(input.parentElement, 10, 14 + 15 * index, width, 15);
            if (box.buzzer) {
                input.addEventListener('change', () => this.couple(box.control));
            }
            this.boxes.set(box.control, input);
        }
    }

    /** The buzzer rule after `control` changed, as the module states it. */
    couple(control) {
        const coupled = this.vyx.coupleBuzzer(this.read(), control);
        for (const [name, input] of this.boxes) input.checked = Boolean(coupled[name]);
    }

    /** The controls as a snapshot (see the module's README). */
    read() {
        const snapshot = {};
        for (const [name, list] of this.lists) snapshot[name] = list.selectedIndex;
        for (const [name, edit] of this.edits) snapshot[name] = edit.value;
        for (const [name, box] of this.boxes) snapshot[name] = box.checked;
        return snapshot;
    }

    /**
     * Sets every control. A buzzer box that becomes checked runs the coupling,
     * as a box set by the window's program does.
     */
    apply(snapshot) {
        for (const [name, list] of this.lists) {
            const position = snapshot[name] ?? -1;
            list.selectedIndex = position >= 0 && position < list.options.length ? position : -1;
        }
        for (const [name, edit] of this.edits) edit.value = snapshot[name] ?? '';
        for (const [name, box] of this.boxes) {
            const checked = Boolean(snapshot[name]);
            const changed = box.checked !== checked;
            box.checked = checked;
            if (changed && checked && name.startsWith('CB_BZ_') && /_(IN|OUT|WH)$/.test(name)) {
                this.couple(name);
            }
        }
    }

    clearListSelections() {
        for (const list of this.lists.values()) list.selectedIndex = -1;
    }

    emptyField(control) {
        const edit = this.edits.get(control);
        if (edit) edit.value = '';
    }

    /** A new connection: every value edit emptied, every box unticked. */
    emptyForConnection() {
        for (const edit of this.edits.values()) edit.value = '';
        for (const box of this.boxes.values()) box.checked = false;
    }
}
