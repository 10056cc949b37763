// The configuration editor, built from the module's record layout: the module
// gives every control's name, label, group, limits, boxes and place (the
// window's); this file only draws them and keeps the controls as the values.

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

// A group is heard as one, by its caption: each "Entrada" or "Tempo validação"
// with the name of its condition.
function makeGroup(parent, id, caption, [x, y, w, h], extraClass = '') {
    const group = place(make('div', `group frame ${extraClass}`, parent), x, y, w, h);
    group.id = id;
    group.setAttribute('role', 'group');
    const title = make('span', 'caption', group, caption);
    title.id = `${id}_Caption`;
    group.setAttribute('aria-labelledby', title.id);
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
        this.coupled = new Set();  // the buzzer boxes the coupling rule ties together
        this.build(config);
    }

    build(config) {
        const groups = new Map();
        const groupOf = (row) => {
            if (!groups.has(row.group)) {
                groups.set(row.group, makeGroup(config, row.group, row.groupCaption, row.groupPlace));
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
        place(make('span', 'field-label', group, row.label), ...row.labelPlace);
        const holder = place(make('span', 'edit', group), ...row.place);
        const edit = make('input', '', holder);
        edit.type = 'text';
        edit.id = row.control;
        edit.inputMode = 'numeric';
        edit.maxLength = row.maxLength;
        const label = row.label.replace(/\n/g, ' ');
        edit.setAttribute('aria-label', label);
        const spinner = place(make('span', 'spinner', group), ...row.spinnerPlace);
        const state = { position: row.spin.start };
        // Named after the field and its condition: no two spinner buttons alike.
        const field = `${label.replace(/:$/, '')}, ${row.groupCaption.trim()}`;
        for (const [delta, arrow, verb] of [[1, '▲', 'Aumentar'], [-1, '▼', 'Diminuir']]) {
            const button = make('button', '', spinner, arrow);
            button.type = 'button';
            button.tabIndex = -1;
            button.setAttribute('aria-label', `${verb} ${field}`);
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
        // ACP and ACN's boxes sit in their condition's group; the others in a
        // buzzer group and an event group.
        const code = row.group.slice(3);
        const single = row.kind === 'singleAction';
        const buzzer = single ? group : makeGroup(group, `GB_BZ_${code}`, row.buzzerCaption, row.buzzerPlace, 'boxes');
        const event = single ? group : makeGroup(group, `GB_EV_${code}`, row.eventCaption, row.eventPlace, 'boxes');
        for (const box of row.boxes) {
            const input = makeBox(box.buzzer ? buzzer : event, box.control, box.caption, single ? 'strong' : '');
            place(input.parentElement, ...box.place);
            if (box.coupled) {
                this.coupled.add(box.control);
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
            if (changed && checked && this.coupled.has(name)) {
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
