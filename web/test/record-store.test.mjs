// The history's filters as the page's store applies them: the local days of a
// date range as UTC bounds, the start counted down for newest-first keys, and
// the filters an index leaves to the row check.

import assert from 'node:assert/strict';
import { test } from 'node:test';

process.env.TZ = 'America/Sao_Paulo';
const { dayStartUtc, newestFirst, passes } = await import('../app/js/record-store.js');

test('a local day as the UTC text of its first instant, the until day included', () => {
    assert.equal(dayStartUtc('2026-12-09'), '2026-12-09T03:00:00Z');
    assert.equal(dayStartUtc('2026-12-09', true), '2026-12-10T03:00:00Z');
    assert.equal(dayStartUtc('2026-12-31', true), '2027-01-01T03:00:00Z');
    assert.equal(dayStartUtc('não é data'), null);
});

test('later starts give smaller keys, of one length, and a bad start sorts last', () => {
    const keys = ['2026-12-09T13:29:40Z', '2026-12-09T13:29:41Z', '2030-01-01T00:00:00Z'].map(newestFirst);
    assert.deepEqual(keys, [...keys].sort().reverse());
    assert.deepEqual(new Set(keys.map((key) => key.length)), new Set([15]));
    assert.equal(newestFirst(''), '~');
});

const row = {
    deviceId: '00A1B2C3 00000039 56595800',
    plate: 'ABC1D23',
    technician: 'Ana Souza',
    note: 'Troca do chicote',
    result: 'concluída',
    startedUtc: '2026-12-09T13:29:40Z',
};
const from = '2026-12-09T03:00:00Z';
const to = '2026-12-10T03:00:00Z';
const filters = [
    { name: 'no filter', filter: {}, passes: true },
    { name: 'the same device', filter: { deviceId: row.deviceId }, passes: true },
    { name: 'another device', filter: { deviceId: '00A1B2C3 00000039 56595801' }, passes: false },
    { name: 'another plate', filter: { plate: 'XYZ9K88' }, passes: false },
    { name: 'another result', filter: { result: 'falhou' }, passes: false },
    { name: 'text in any case, in the note', filter: { text: 'CHICOTE' }, passes: true },
    { name: 'text found nowhere', filter: { text: 'freio' }, passes: false },
    { name: 'inside the day', filter: {}, from, to, passes: true },
    { name: 'before the range', filter: {}, from: '2026-12-10T03:00:00Z', passes: false },
    { name: 'at the end bound (excluded)', filter: {}, to: row.startedUtc, passes: false },
];
for (const c of filters) {
    test(`filter: ${c.name}`, () => assert.equal(passes(row, c.filter, c.from ?? null, c.to ?? null), c.passes));
}
