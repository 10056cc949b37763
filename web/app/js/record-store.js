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
            // Newest first within each filter: every key ends with the start
            // time counted down, so a page is one read in key order.
            visits.createIndex('byStart', 'newestFirst');
            visits.createIndex('byDevice', ['deviceId', 'newestFirst']);
            visits.createIndex('byPlate', ['plate', 'newestFirst']);
            visits.createIndex('byResult', ['result', 'newestFirst']);
            // The row's text alone, keyed by start, then identifier: an export reads
            // them in order, with nothing to unpack.
            request.result.createObjectStore(Rows);
        };
        request.onsuccess = () => resolve(request.result);
        request.onerror = () => reject(request.error);
        request.onblocked = () => reject(new Error('blocked'));
    });
}

/** A start time ("2026-12-09T13:29:40Z") counted down: later times give smaller texts. */
export function newestFirst(startedUtc) {
    const ms = Date.parse(startedUtc);
    return Number.isNaN(ms) ? '~' : String(1e14 - ms).padStart(15, '0');
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
export function passes(row, filter, from, to) {
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
        transaction.objectStore(Visits)[how]({ ...row, newestFirst: newestFirst(row.startedUtc) });
        transaction.objectStore(Rows)[how](row.csv, [row.startedUtc, row.uuid]);
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
        // Counted down: the range's low end is the latest start.
        const low = to ? newestFirst(to) : '';
        const high = from ? newestFirst(from) : '~';
        const store = this.transaction('readonly');
        let source = store.index('byStart');
        let range = IDBKeyRange.bound(low, high);
        let chosen = null;
        for (const [key, index] of [['deviceId', 'byDevice'], ['plate', 'byPlate'], ['result', 'byResult']]) {
            if (filter[key]) {
                source = store.index(index);
                range = IDBKeyRange.bound([filter[key], low], [filter[key], high]);
                chosen = key;
                break;
            }
        }
        const others = ['deviceId', 'plate', 'result', 'text'].filter((key) => key !== chosen && filter[key]);
        if (others.length === 0) return done(source.getAll(range, limit));
        return new Promise((resolve, reject) => {
            const rows = [];
            const request = source.openCursor(range);
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

    /**
     * Every kept visit's CSV row (`field` 'csv'), oldest first, or its line, by
     * identifier, handed over in batches of `size`.
     */
    async eachBatch(take, field = 'line', size = 2000) {
        if (field === 'csv') {
            for (let after = null; ;) {
                const range = after === null ? null : IDBKeyRange.lowerBound(after, true);
                const store = this.transaction('readonly', Rows);
                const [keys, rows] = await Promise.all([done(store.getAllKeys(range, size)), done(store.getAll(range, size))]);
                if (rows.length === 0) return;
                take(rows);
                after = keys[keys.length - 1];
            }
        }
        for (let after = null; ;) {
            const range = after === null ? null : IDBKeyRange.lowerBound(after, true);
            const rows = await done(this.transaction('readonly').getAll(range, size));
            if (rows.length === 0) return;
            take(rows.map((row) => row.line));
            after = rows[rows.length - 1].uuid;
        }
    }
}
