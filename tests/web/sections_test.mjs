// The pane's bytes from their parts, and the blocks of whole lines the pane is drawn in.
//   node --test tests/web/
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { blocksOf, firstBlockCount } from '../../web/page/sections.js';
import { joinedBytes } from '../../web/page/joined_bytes.js';

test('parts of bytes join in their order', () => {
    const rows = [
        { parts: [], bytes: [] },
        { parts: [[1, 2]], bytes: [1, 2] },
        { parts: [[1], [], [2, 3], [4, 5, 6]], bytes: [1, 2, 3, 4, 5, 6] },
        { parts: [[], []], bytes: [] },
    ];
    for (const { parts, bytes } of rows) {
        assert.deepEqual([...joinedBytes(parts.map((part) => Uint8Array.from(part)))], bytes, JSON.stringify(parts));
    }
});

// The blocks of the text's UTF-8 as the texts they cut out, with their lines and longest line.
function blockTexts(text, limits) {
    const bytes = new TextEncoder().encode(text);
    const textOf = (start, end) => new TextDecoder().decode(bytes.subarray(start, end));
    return blocksOf(bytes, limits).map(({ start, end, lines, widest }) => [textOf(start, end), lines, widest]);
}

test('blocks hold whole lines, up to their limits of lines and characters', () => {
    const rows = [
        { text: '', limits: {}, blocks: [['', 0, 0]] },
        { text: 'ab\r\ncd', limits: {}, blocks: [['ab\r\ncd', 2, 4]] },
        // A line end inside a line ("\r" alone, "\n" alone) doesn't end it.
        { text: 'a\rb\nc\r\n', limits: { lines: 1 }, blocks: [['a\rb\nc\r\n', 1, 7]] },
        // Lines: exactly at the limit, and one past it.
        { text: 'a\r\nb\r\n', limits: { lines: 2 }, blocks: [['a\r\nb\r\n', 2, 3]] },
        { text: 'a\r\nb\r\nc', limits: { lines: 2 }, blocks: [['a\r\nb\r\n', 2, 3], ['c', 1, 1]] },
        // Characters: exactly at the limit, and one past it.
        { text: 'ab\r\ncd\r\n', limits: { characters: 8 }, blocks: [['ab\r\ncd\r\n', 2, 4]] },
        { text: 'ab\r\ncde\r\n', limits: { characters: 8 }, blocks: [['ab\r\n', 1, 4], ['cde\r\n', 1, 5]] },
        // A line longer than the limit is a block of its own.
        { text: 'a\r\nbcdef\r\ng', limits: { characters: 3 }, blocks: [['a\r\n', 1, 3], ['bcdef\r\n', 1, 7], ['g', 1, 1]] },
        { text: '\r\n\r\n', limits: { lines: 1 }, blocks: [['\r\n', 1, 2], ['\r\n', 1, 2]] },
        { text: '\n\r\n', limits: { lines: 1 }, blocks: [['\n\r\n', 1, 3]] },
        // Counted in bytes: a character beyond ASCII counts as its UTF-8, and is never cut.
        { text: 'é\r\n€', limits: { characters: 4 }, blocks: [['é\r\n', 1, 4], ['€', 1, 3]] },
    ];
    for (const { text, limits, blocks } of rows) {
        assert.deepEqual(blockTexts(text, limits), blocks, JSON.stringify([text, limits]));
    }
});

test('the pane is shown with the blocks of its first lines', () => {
    const blocks = (...lines) => lines.map((count) => ({ lines: count }));
    const rows = [
        { blocks: blocks(), lines: 4, count: 0 },
        { blocks: blocks(2, 2, 2), lines: 4, count: 2 },
        { blocks: blocks(2, 2, 2), lines: 5, count: 3 },
        { blocks: blocks(2, 3, 2), lines: 4, count: 2 },
        { blocks: blocks(2, 2), lines: 9, count: 2 },
        { blocks: blocks(0), lines: 4, count: 1 },
    ];
    for (const row of rows) {
        assert.equal(firstBlockCount(row.blocks, row.lines), row.count, JSON.stringify(row));
    }
});
