// The "histórico" view: the visits the page recorded, newest first, with the
// filters, the report, the exports and the import; and the service fields the
// following visits take. Every device or typed text goes in as text, never as
// markup. The bytes of every export and the report come from the module.

const FieldsKey = 'vyxtool-service-fields';
const FieldNames = ['technician', 'plate', 'vin', 'workOrder', 'note'];
const ImportSlice = 1 << 20;  // the module takes at most this much at once
const Texts = {
    none: 'nenhuma visita registrada',
    unrecorded: 'o navegador não guarda o histórico nesta janela',
    imported: (taken, present, skipped) =>
        `importadas: ${taken}; já presentes: ${present}; linhas ignoradas: ${skipped}`,
    refused: (reason) => `arquivo recusado: ${reason}`,
    report: 'relatório',
};

/** "2026-12-09T10:29:40-03:00" as "2026-12-09 10:29". */
function shortTime(text) {
    return String(text ?? '').slice(0, 16).replace('T', ' ');
}

function download(name, parts, type) {
    const url = URL.createObjectURL(new Blob(parts, { type }));
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 0);
}

/** The service fields as last typed (kept for the following visits). */
export function loadServiceFields(storage = globalThis.localStorage) {
    try {
        const kept = JSON.parse(storage?.getItem(FieldsKey) ?? '{}');
        return Object.fromEntries(FieldNames.map((name) => [name, typeof kept[name] === 'string' ? kept[name] : '']));
    } catch {
        return Object.fromEntries(FieldNames.map((name) => [name, '']));
    }
}

export class History {
    /** `root` is the view's dialog; `store` may be null (nothing is kept). */
    constructor(root, { vyx, session, store }) {
        this.root = root;
        this.vyx = vyx;
        this.store = store;
        this.session = session;
        this.q = (name) => root.querySelector(`[name="${name}"]`);
        const fields = loadServiceFields();
        for (const name of FieldNames) {
            this.q(name).value = fields[name];
            this.q(name).addEventListener('change', () => this.keepFields());
        }
        session.setServiceFields(fields);
        for (const name of ['deviceId', 'filterPlate', 'since', 'until', 'result', 'text']) {
            this.q(name).addEventListener(name === 'text' ? 'input' : 'change', () => this.refresh());
        }
        root.querySelector('#H_Csv').addEventListener('click', () => this.exportCsv());
        root.querySelector('#H_Jsonl').addEventListener('click', () => this.exportJsonl());
        const file = root.querySelector('#H_File');
        root.querySelector('#H_Import').addEventListener('click', () => file.click());
        file.addEventListener('change', async () => {
            const [chosen] = file.files;
            file.value = '';
            if (chosen) await this.importFile(chosen);
        });
        root.querySelector('#H_Close').addEventListener('click', () => root.close());
    }

    keepFields() {
        const fields = Object.fromEntries(FieldNames.map((name) => [name, this.q(name).value]));
        try {
            localStorage.setItem(FieldsKey, JSON.stringify(fields));
        } catch {
            // Not kept for the next page load; this page's visits still take them.
        }
        this.session.setServiceFields(fields);
    }

    show() {
        if (!this.root.open) this.root.showModal();
        return this.refresh();
    }

    filter() {
        return {
            deviceId: this.q('deviceId').value.trim(),
            plate: this.q('filterPlate').value.trim(),
            since: this.q('since').value,
            until: this.q('until').value,
            result: this.q('result').value,
            text: this.q('text').value.trim(),
        };
    }

    status(text) {
        this.root.querySelector('#H_Status').textContent = text;
    }

    async refresh() {
        const body = this.root.querySelector('#H_List tbody');
        if (!this.store) {
            body.replaceChildren();
            this.status(Texts.unrecorded);
            return;
        }
        const rows = await this.store.list(this.filter());
        body.replaceChildren(...rows.map((row) => this.rowOf(row)));
        if (rows.length === 0) this.status(Texts.none);
    }

    rowOf(row) {
        const tr = document.createElement('tr');
        const cells = [shortTime(row.startedAt), row.deviceId, row.plate,
            `${row.versionBefore} → ${row.versionAfter}`, row.cut ? `${row.result}: ${row.cut}` : row.result];
        for (const text of cells) {
            const td = document.createElement('td');
            td.textContent = text ?? '';
            tr.append(td);
        }
        const td = document.createElement('td');
        const button = document.createElement('button');
        button.type = 'button';
        button.className = 'link';
        button.textContent = Texts.report;
        button.addEventListener('click', () =>
            window.open(`report.html#${encodeURIComponent(row.uuid)}`, '_blank', 'noopener'));
        td.append(button);
        tr.append(td);
        return tr;
    }

    async exportCsv() {
        if (!this.store) return;
        const parts = [this.vyx.visitCsvHeader()];
        // Each row made by the module when its visit was kept.
        await this.store.eachBatch((rows) => parts.push(rows.join('')), 'csv');
        download('vyxtool-historico.csv', parts, 'text/csv;charset=utf-8');
    }

    async exportJsonl() {
        if (!this.store) return;
        const parts = [];
        await this.store.eachBatch((lines) => parts.push(lines.map((line) => `${line}\n`).join('')));
        download('vyxtool-historico.jsonl', parts, 'application/jsonl');
    }

    /** A JSON Lines export read slice by slice; visits kept already are left as they are. */
    async importFile(file) {
        if (!this.store) return;
        const refusedSize = this.vyx.ImportReader.refuseSize(file.size);
        if (refusedSize) {
            this.status(Texts.refused(refusedSize));
            return;
        }
        const reader = new this.vyx.ImportReader();
        let taken = 0;
        let present = 0;
        const keep = async (rows) => {
            for (const row of rows) {
                if (await this.store.add(row)) taken += 1;
                else present += 1;
            }
        };
        try {
            for (let at = 0; at < file.size && !reader.refusal(); at += ImportSlice) {
                const bytes = new Uint8Array(await file.slice(at, at + ImportSlice).arrayBuffer());
                await keep(reader.feed(bytes));
            }
            await keep(reader.finish());
            const refusal = reader.refusal();
            const skipped = reader.skipped();
            this.status(refusal ? Texts.refused(refusal) : Texts.imported(taken, present, skipped.length));
            const list = this.root.querySelector('#H_Skipped');
            list.replaceChildren(...skipped.slice(0, 100).map((text) => {
                const item = document.createElement('li');
                item.textContent = text;
                return item;
            }));
        } finally {
            reader.delete();
        }
        await this.refresh();
    }
}
