// The service record's store in the browser: IndexedDB, one row a visit (the
// module's row: the visit's line and the head's fields the filters use), keyed
// by the visit's identifier. The module makes every byte of a visit; this file
// only keeps and finds rows. Where the browser refuses storage (a private
// window, a full disk, no IndexedDB) one log line says so and the device work
// goes on unrecorded.

const DbName = 'vyxtool-record';
const DbVersion = 1;
const Visits = 'visits';
// The CSV rows apart, so that an export reads them without the whole visits.
const Rows = 'csv';
export const NotRecordedText = 'Armazenamento do navegador indisponível: a visita não é registrada.';

/** The promise of one request. */
function done(request) {
    return new Promise((resolve, reject) => {
        request.onsuccess = () => resolve(request.result);
        request.onerror = () => reject(request.error);
    });
}

function openDb(indexedDB) {
    return new Promise((resolve, reject) => {
        const request = indexedDB.open(DbName, DbVersion);
        request.onupgradeneeded = () => {
            const visits = request.result.createObjectStore(Visits, { keyPath: 'uuid' });
            // Newest first within each filter: the start time closes every key.
            visits.createIndex('byStart', 'startedUtc');
            visits.createIndex('byDevice', ['deviceId', 'startedUtc']);
            visits.createIndex('byPlate', ['plate', 'startedUtc']);
            visits.createIndex('byResult', ['result', 'startedUtc']);
            request.result.createObjectStore(Rows, { keyPath: 'uuid' }).createIndex('byStart', 'startedUtc');
        };
        request.onsuccess = () => resolve(request.result);
        request.onerror = () => reject(request.error);
        request.onblocked = () => reject(new Error('blocked'));
    });
}

/** "2026-12-09" (a local day) as the UTC text of its first instant, "2026-12-09T03:00:00Z". */
export function dayStartUtc(day, nextDay = false) {
    const date = new Date(`${day}T00:00:00`);
    if (Number.isNaN(date.getTime())) return null;
    if (nextDay) date.setDate(date.getDate() + 1);
    return `${date.toISOString().slice(0, 19)}Z`;
}

const Searched = ['deviceId', 'plate', 'vin', 'technician', 'workOrder', 'note', 'versionBefore',
    'versionAfter', 'result', 'cut'];

/** Whether `row` passes the filters the chosen index did not apply. */
function passes(row, filter, from, to) {
    if (filter.deviceId && row.deviceId !== filter.deviceId) return false;
    if (filter.plate && row.plate !== filter.plate) return false;
    if (filter.result && row.result !== filter.result) return false;
    if (from && row.startedUtc < from) return false;
    if (to && row.startedUtc >= to) return false;
    if (filter.text) {
        const text = filter.text.toLocaleLowerCase();
        if (!Searched.some((key) => String(row[key] ?? '').toLocaleLowerCase().includes(text))) return false;
    }
    return true;
}

export class RecordStore {
    /** The store, or null where the browser keeps nothing. */
    static async open(log = null, indexedDB = globalThis.indexedDB) {
        try {
            if (!indexedDB) throw new Error('no IndexedDB');
            const db = await openDb(indexedDB);
            // Asked, not required: without it the browser may clear the record under pressure.
            navigator.storage?.persist?.().catch(() => {});
            return new RecordStore(db, log);
        } catch {
            return null;
        }
    }

    constructor(db, log) {
        this.db = db;
        this.log = log;
        this.refused = new Set();
    }

    transaction(mode, name = Visits) {
        return this.db.transaction(name, mode).objectStore(name);
    }

    /** Puts (or adds) the row and its CSV row in one transaction. */
    write(row, how) {
        const transaction = this.db.transaction([Visits, Rows], 'readwrite');
        transaction.objectStore(Visits)[how](row);
        transaction.objectStore(Rows)[how]({ uuid: row.uuid, startedUtc: row.startedUtc, csv: row.csv });
        return new Promise((resolve, reject) => {
            transaction.oncomplete = () => resolve(true);
            transaction.onerror = () => reject(transaction.error);
            transaction.onabort = () => reject(transaction.error);
        });
    }

    /** Keeps the visit's newest row; a refusal is said once for the visit. */
    async put(row) {
        try {
            await this.write(row, 'put');
        } catch {
            if (!this.refused.has(row.uuid)) {
                this.refused.add(row.uuid);
                this.log?.append(NotRecordedText);
            }
        }
    }

    get(uuid) {
        return done(this.transaction('readonly').get(uuid));
    }

    /** Adds an imported visit; false when one with its identifier is kept already. */
    async add(row) {
        if ((await done(this.transaction('readonly').getKey(row.uuid))) !== undefined) return false;
        return this.write(row, 'add');
    }

    /**
     * Rows newest first that pass `filter` ({ deviceId, plate, since, until,
     * result, text }; since and until are local days, both included), at most `limit`.
     */
    list(filter = {}, limit = 200) {
        const from = filter.since ? dayStartUtc(filter.since) : null;
        const to = filter.until ? dayStartUtc(filter.until, true) : null;
        const low = from ?? '';
        const high = to ?? '\uffff';
        const store = this.transaction('readonly');
        let source;
        let range;
        for (const [key, index] of [['deviceId', 'byDevice'], ['plate', 'byPlate'], ['result', 'byResult']]) {
            if (filter[key]) {
                source = store.index(index);
                range = IDBKeyRange.bound([filter[key], low], [filter[key], high]);
                break;
            }
        }
        if (!source) {
            source = store.index('byStart');
            range = IDBKeyRange.bound(low, high);
        }
        return new Promise((resolve, reject) => {
            const rows = [];
            const request = source.openCursor(range, 'prev');
            request.onerror = () => reject(request.error);
            request.onsuccess = () => {
                const cursor = request.result;
                if (!cursor || rows.length >= limit) {
                    resolve(rows);
                    return;
                }
                if (passes(cursor.value, filter, from, to)) rows.push(cursor.value);
                cursor.continue();
            };
        });
    }

    /** Every kept visit's line, or its CSV row (`field` 'csv'), oldest first, in batches of `size`. */
    async eachBatch(take, field = 'line', size = 2000) {
        const name = field === 'csv' ? Rows : Visits;
        let after = null;
        for (;;) {
            const range = after === null ? null : IDBKeyRange.lowerBound(after, true);
            const index = this.transaction('readonly', name).index('byStart');
            const rows = await done(index.getAll(range, size));
            if (rows.length === 0) return;
            // Visits that started in the same second: the last key's others are
            // taken with it, so the next batch starts strictly after it.
            const last = rows[rows.length - 1].startedUtc;
            const same = await done(index.getAll(IDBKeyRange.only(last)));
            const batch = rows.filter((row) => row.startedUtc !== last).concat(same);
            take(batch.map((row) => row[field]));
            after = last;
        }
    }
}
