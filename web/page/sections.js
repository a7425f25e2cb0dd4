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

// The pane's lines, CR LF included, from its text in UTF-8 parts.
export function* linesOf(parts) {
    const decoder = new TextDecoder();
    let open = '';
    for (const part of parts) {
        const text = open + decoder.decode(part, { stream: true });
        let at = 0;
        for (let end; (end = text.indexOf('\r\n', at)) !== -1; at = end + 2) {
            yield text.slice(at, end + 2);
        }
        open = text.slice(at);
    }
    open += decoder.decode();
    if (open !== '') {
        yield open;
    }
}

// A block of the pane holds this many lines at most, and no more characters than this unless
// it holds one line.
const kBlockLines = 64;
const kBlockCharacters = 1 << 16;

// The pane's text in blocks of whole lines, each laid out only once scrolled into view and until
// then as large as its lines make it, so that the echo of a large file shows at once instead of
// holding up the page.
export function showPane(entry, parts) {
    const blocks = document.createDocumentFragment();
    let lines = [];
    let characters = 0;
    let widest = 0;
    const close = () => {
        const block = document.createElement('div');
        block.textContent = lines.join('');
        block.style.containIntrinsicSize = `auto ${widest}ch auto ${1.25 * lines.length}em`;
        blocks.append(block);
        lines = [];
        characters = 0;
        widest = 0;
    };
    for (const line of linesOf(parts)) {
        if (lines.length === kBlockLines || (lines.length > 0 && characters + line.length > kBlockCharacters)) {
            close();
        }
        lines.push(line);
        characters += line.length;
        widest = Math.max(widest, line.length);
    }
    if (lines.length > 0 || !blocks.hasChildNodes()) {
        close();
    }
    entry.pane.replaceChildren(blocks);
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
