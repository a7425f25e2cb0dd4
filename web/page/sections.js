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

// The pane's text, UTF-8 in blocks, a line to a block element, each laid out only once scrolled
// into view, so that the echo of a large file shows at once instead of holding up the page.
export function showPane(entry, parts) {
    const lines = document.createDocumentFragment();
    const addLine = (line) => {
        const block = document.createElement('div');
        block.textContent = line;
        block.style.containIntrinsicWidth = `auto ${line.length}ch`;
        lines.append(block);
    };
    const decoder = new TextDecoder();
    let open = '';
    let count = 0;
    for (const part of parts) {
        const pieces = (open + decoder.decode(part, { stream: true })).split(/(?<=\r\n)/);
        open = pieces[pieces.length - 1].endsWith('\r\n') ? '' : pieces.pop();
        pieces.forEach(addLine);
        count += pieces.length;
    }
    open += decoder.decode();
    if (open !== '' || count === 0) {
        addLine(open);
    }
    entry.pane.replaceChildren(lines);
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
