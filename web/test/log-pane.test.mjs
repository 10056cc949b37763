// The device logic's colours (0x00BBGGRR, as the window's panes take them) as the page paints them.

import assert from 'node:assert/strict';
import { test } from 'node:test';
import { cssColour } from '../app/js/log-pane.js';

const colours = [
    { value: 255, css: 'rgb(255, 0, 0)', name: 'red, the warnings' },
    { value: 0x00ff00, css: 'rgb(0, 255, 0)', name: 'green' },
    { value: 0xff0000, css: 'rgb(0, 0, 255)', name: 'blue' },
    { value: 0x123456, css: 'rgb(86, 52, 18)', name: 'a mixed colour, byte by byte' },
];

for (const row of colours) {
    test(`log colour ${row.name}`, () => assert.equal(cssColour(row.value), row.css));
}
