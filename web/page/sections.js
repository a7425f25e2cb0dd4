// A file's section of the page: its name, the converter's message, its results pane and the
// files offered for it.
export function makeSection(entry) {
    const section = document.createElement('section');
    const heading = document.createElement('h2');
    heading.id = `file-${entry.id}`;
    heading.textContent = entry.file.name;
    entry.message = document.createElement('p');
    entry.message.className = 'failure';
    entry.message.hidden = true;
    entry.pane = document.createElement('div');
    entry.pane.className = 'pane';
    entry.pane.tabIndex = 0;
    entry.pane.setAttribute('role', 'region');
    entry.pane.setAttribute('aria-label', `What was read from ${entry.file.name}`);
    entry.saved = document.createElement('p');
    entry.saved.className = 'saved';
    entry.saved.hidden = true;
    section.setAttribute('aria-labelledby', heading.id);
    section.append(heading, entry.message, entry.pane, entry.saved);
    entry.section = section;
    return section;
}

// A block of the pane holds this many lines at most, and no more characters than this unless
// it holds one line.
const kBlockLines = 64;
const kBlockCharacters = 1 << 16;
// Lines drawn before the pane is shown: more than a pane shows at once.
const kFirstLines = 128;
// The rest is drawn in slices of this many milliseconds, so that the page still answers meanwhile.
const kSliceMs = 5;

const kCR = 13;
const kLF = 10;

// Where the line that starts at `from` in `bytes` ends: past its CR LF, or at the end.
function lineEndOf(bytes, from) {
    for (let lf = bytes.indexOf(kLF, from); lf !== -1; lf = bytes.indexOf(kLF, lf + 1)) {
        if (lf > from && bytes[lf - 1] === kCR) {
            return lf + 1;
        }
    }
    return bytes.length;
}

// The blocks of the pane's text, `bytes` in UTF-8: whole lines (each ending in CR LF but the
// last), within the limits above, counted in bytes. {start, end, lines, widest}: where in the
// bytes, how many lines, the longest's length. Lines are found in the bytes, so that only what is
// drawn is ever decoded; a length in bytes is a line's width in characters, or a little more where
// it holds a character beyond ASCII (a name, a title), as an estimate of its size may be.
// Empty text is one empty block.
export function blocksOf(bytes, { lines: mostLines = kBlockLines, characters: mostCharacters = kBlockCharacters } = {}) {
    const blocks = [];
    let block = { start: 0, end: 0, lines: 0, widest: 0 };
    while (block.end < bytes.length) {
        const end = lineEndOf(bytes, block.end);
        if (block.lines === mostLines || (block.lines > 0 && end - block.start > mostCharacters)) {
            blocks.push(block);
            block = { start: block.end, end: block.end, lines: 0, widest: 0 };
        }
        block.widest = Math.max(block.widest, end - block.end);
        block.end = end;
        block.lines += 1;
    }
    blocks.push(block);
    return blocks;
}

// How many of `blocks` come before the pane is shown: those that hold its first `lines` lines.
export function firstBlockCount(blocks, lines = kFirstLines) {
    let count = 0;
    for (let drawn = 0; count < blocks.length && drawn < lines; count += 1) {
        drawn += blocks[count].lines;
    }
    return count;
}

// Shows the text of `bytes` (UTF-8) in the entry's pane in blocks of whole lines, each laid out
// only once scrolled into view and until then as large as its lines make it. Only the first
// blocks are made before the pane is shown; the rest stand in a space of their size and follow in
// short slices of work, all at once when the pane is scrolled, touched or focused first. The pane
// is busy until then.
export function showPane(entry, bytes, { slices = true } = {}) {
    const decoder = new TextDecoder();
    entry.paneDrawing?.abort();
    const drawing = new AbortController();
    entry.paneDrawing = drawing;
    const { pane } = entry;
    const blocks = blocksOf(bytes);
    const elementOf = ({ start, end, lines, widest }) => {
        const element = document.createElement('div');
        element.textContent = decoder.decode(bytes.subarray(start, end));
        element.style.containIntrinsicSize = `auto ${widest}ch auto ${1.25 * lines}em`;
        return element;
    };
    const first = firstBlockCount(blocks);
    if (first === blocks.length) {
        pane.replaceChildren(...blocks.map(elementOf));
        pane.removeAttribute('aria-busy');
        return;
    }
    const space = document.createElement('div');
    let next = first;
    let linesLeft = blocks.slice(first).reduce((sum, block) => sum + block.lines, 0);
    space.style.width = `${blocks.slice(first).reduce((widest, block) => Math.max(widest, block.widest), 0)}ch`;
    space.style.height = `${1.25 * linesLeft}em`;
    pane.replaceChildren(...blocks.slice(0, first).map(elementOf), space);
    pane.setAttribute('aria-busy', 'true');
    const draw = (until) => {
        const drawn = document.createDocumentFragment();
        while (next < blocks.length && performance.now() < until) {
            linesLeft -= blocks[next].lines;
            drawn.append(elementOf(blocks[next]));
            next += 1;
        }
        space.before(drawn);
        space.style.height = `${1.25 * linesLeft}em`;
        if (next === blocks.length) {
            space.remove();
            pane.removeAttribute('aria-busy');
            drawing.abort();
        }
    };
    for (const type of ['scroll', 'pointerdown', 'keydown', 'focus']) {
        pane.addEventListener(type, () => draw(Infinity), { signal: drawing.signal });
    }
    const slice = () => {
        if (!drawing.signal.aborted) {
            draw(performance.now() + kSliceMs);
            setTimeout(slice, 0);
        }
    };
    // The first slice after the frame that shows the pane.
    if (slices) {
        requestAnimationFrame(() => setTimeout(slice, 0));
    }
}

export function showFailure(entry, lead, name, description) {
    entry.message.textContent = `${lead}\n${name}.\n\n(${description})`;
    entry.message.hidden = false;
}

export function hideFailure(entry) {
    entry.message.hidden = true;
}

// What was offered for the entry goes once it was handed over.
export function clearSaved(entry, downloads) {
    for (const offered of entry.saved.children) {
        downloads.retire(offered);
    }
}

export function showSaved(entry, offered) {
    entry.saved.append(offered);
    entry.saved.hidden = false;
}
