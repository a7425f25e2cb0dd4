// The pane's lines from its text in UTF-8 parts, wherever the parts happen to be cut: within a
// line, between CR and LF, within a character.
//   node --test tests/web/
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { linesOf } from '../../web/page/sections.js';

// `text` as UTF-8 cut before each byte offset in `cuts`.
function partsOf(text, cuts) {
    const bytes = new TextEncoder().encode(text);
    return [0, ...cuts].map((start, index) => bytes.slice(start, [...cuts, bytes.length][index]));
}

test('lines come whole out of parts cut anywhere', () => {
    const rows = [
        { text: '', cuts: [], lines: [] },
        { text: 'ab\r\ncd', cuts: [], lines: ['ab\r\n', 'cd'] },
        { text: 'ab\r\ncd\r\n', cuts: [], lines: ['ab\r\n', 'cd\r\n'] },
        { text: 'ab\r\ncd\r\n', cuts: [1], lines: ['ab\r\n', 'cd\r\n'] },
        { text: 'ab\r\ncd\r\n', cuts: [3], lines: ['ab\r\n', 'cd\r\n'] },
        { text: 'ab\r\ncd\r\n', cuts: [4], lines: ['ab\r\n', 'cd\r\n'] },
        { text: 'ab\r\ncd\r\n', cuts: [1, 2, 3, 5, 7], lines: ['ab\r\n', 'cd\r\n'] },
        { text: 'a\rb\nc\r\n', cuts: [2], lines: ['a\rb\nc\r\n'] },
        // "é" and "€" are two and three bytes in UTF-8.
        { text: '\u00e9\r\n\u20ac\u2400', cuts: [1, 5, 6], lines: ['\u00e9\r\n', '\u20ac\u2400'] },
        { text: 'ab', cuts: [1], lines: ['ab'] },
        { text: 'ab\r\nc', cuts: [4], lines: ['ab\r\n', 'c'] },
        { text: '\r\n\r\n', cuts: [1], lines: ['\r\n', '\r\n'] },
    ];
    for (const { text, cuts, lines } of rows) {
        assert.deepEqual([...linesOf(partsOf(text, cuts))], lines, JSON.stringify([text, cuts]));
    }
});
