'use strict';
// The page: the window's flow (Input, Output, Convert) over the converter, which runs in a worker
// made from the text of converter.js, so that large files never freeze the page. Nothing is sent
// anywhere: the files are read from disk by the browser and handed back as downloads.
(() => {
    const kReadFailed = 'An error occurred while trying to read the Prelis file,';
    const kWriteFailed = 'An error occurred while trying to write the Vemo-compatible file,';

    const $ = (selector) => document.querySelector(selector);
    const inputButton = $('#input');
    const fileInput = $('#input-files');
    const inputNames = $('#input-names');
    const outputType = $('#output-type');
    const listField = $('#list-separator');
    const decimalField = $('#decimal-separator');
    const separatorOrigin = $('#separator-origin');
    const separatorProblem = $('#separator-problem');
    const convertButton = $('#convert');
    const progress = $('#progress');
    const status = $('#status');
    const results = $('#results');

    // The worker, and a promise for each request's answer.
    const worker = new Worker(
        URL.createObjectURL(new Blob([converterSource], { type: 'text/javascript' })));
    const pending = new Map();
    let lastRequest = 0;
    let onProgress = () => {};
    worker.onmessage = ({ data }) => {
        if (!data.done) {
            onProgress(data);
            return;
        }
        pending.get(data.request)(data);
        pending.delete(data.request);
    };
    function call(type, message = {}, transfer = []) {
        const request = ++lastRequest;
        return new Promise((resolve) => {
            pending.set(request, resolve);
            worker.postMessage({ ...message, type, request }, transfer);
        });
    }

    // The separators in use: from the browser's language until the user picks others.
    const separators = { list: ',', decimal: '.' };
    // The files of the last Input, in order: {id, file, section, pane, message, saved, read}.
    let entries = [];
    let lastId = 0;
    let busy = false;

    function languageDecimalSeparator() {
        const parts = new Intl.NumberFormat(navigator.language).formatToParts(1.5);
        const decimal = parts.find((part) => part.type === 'decimal');
        return decimal ? decimal.value : '.';
    }

    // While files are read or converted, nothing that would change the work can be used.
    function setBusy(value) {
        busy = value;
        inputButton.disabled = value;
        listField.disabled = value;
        decimalField.disabled = value;
        convertButton.disabled = value || !entries.some((entry) => entry.read);
        progress.hidden = !value;
    }

    function showProgress(done, total, text) {
        progress.max = total;
        progress.value = done;
        status.textContent = text;
    }

    function makeSection(entry) {
        const section = document.createElement('section');
        const heading = document.createElement('h2');
        heading.id = `file-${entry.id}`;
        heading.textContent = entry.file.name;
        entry.message = document.createElement('p');
        entry.message.className = 'failure';
        entry.pane = document.createElement('div');
        entry.pane.className = 'pane';
        entry.pane.tabIndex = 0;
        entry.pane.setAttribute('role', 'region');
        entry.pane.setAttribute('aria-label', `What was read from ${entry.file.name}`);
        entry.saved = document.createElement('p');
        entry.saved.className = 'saved';
        section.setAttribute('aria-labelledby', heading.id);
        section.append(heading, entry.message, entry.pane, entry.saved);
        entry.message.hidden = true;
        entry.saved.hidden = true;
        entry.section = section;
        return section;
    }

    // The pane's text a line to a block, each laid out only once scrolled into view, so that the
    // echo of a large file shows at once instead of holding up the page.
    function showPane(entry, text) {
        const lines = document.createDocumentFragment();
        for (const line of text.split(/(?<=\r\n)/)) {
            const block = document.createElement('div');
            block.textContent = line;
            block.style.containIntrinsicWidth = `auto ${line.length}ch`;
            lines.append(block);
        }
        entry.pane.replaceChildren(lines);
    }

    function clearSaved(entry) {
        for (const link of entry.saved.querySelectorAll('a')) {
            URL.revokeObjectURL(link.href);
        }
        entry.saved.replaceChildren();
        entry.saved.hidden = true;
    }

    function showFailure(entry, lead, name, description) {
        entry.message.textContent = `${lead}\n${name}.\n\n(${description})`;
        entry.message.hidden = false;
    }

    // Reads every entry in turn with the separators in use; the summary is announced.
    async function readAll() {
        setBusy(true);
        const summary = [];
        for (const [index, entry] of entries.entries()) {
            const name = entry.file.name;
            showProgress(index, entries.length, `Reading ${name} (${index + 1} of ${entries.length})…`);
            onProgress = () =>
                showProgress(index + 0.5, entries.length, `Checking ${name} (${index + 1} of ${entries.length})…`);
            clearSaved(entry);
            entry.message.hidden = true;
            let answer;
            try {
                const bytes = await entry.file.arrayBuffer();
                answer = await call('read', { id: entry.id, name, bytes, decimal: separators.decimal }, [bytes]);
            } catch (error) {
                answer = { read: false, paneText: '', failure: `the file can't be read (${error.message})` };
            }
            entry.read = Boolean(answer.read);
            showPane(entry, answer.paneText ?? '');
            if (answer.read) {
                summary.push(answer.warnings > 0
                    ? `${name}: read, ${answer.warnings} ${answer.warnings === 1 ? 'warning' : 'warnings'}.`
                    : `${name}: read.`);
            } else {
                showFailure(entry, kReadFailed, name, answer.failure);
                summary.push(`${name}: not read (${answer.failure}).`);
            }
        }
        onProgress = () => {};
        setBusy(false);
        status.textContent = summary.join(' ');
    }

    async function chooseFiles(files) {
        if (busy || files.length === 0) {
            return;
        }
        for (const entry of entries) {
            clearSaved(entry);
            call('forget', { id: entry.id });
        }
        entries = [...files].map((file) => ({ id: ++lastId, file, read: false }));
        results.replaceChildren(...entries.map(makeSection));
        inputNames.textContent = entries.map((entry) => entry.file.name).join(', ');
        await readAll();
    }

    function offer(entry, outputs) {
        const links = outputs.map(({ name, blob }) => {
            const link = document.createElement('a');
            link.href = URL.createObjectURL(blob);
            link.download = name;
            link.textContent = name;
            return link;
        });
        entry.saved.append('Files: ');
        links.forEach((link, i) => entry.saved.append(...(i > 0 ? [', ', link] : [link])));
        entry.saved.hidden = false;
        links.forEach(download);
    }

    // Chromium drops what a page downloads beyond ten a second: the files go one at a time, a
    // little apart. The links stay for another try.
    let downloads = Promise.resolve();
    function download(link) {
        downloads = downloads.then(() => {
            link.click();
            return new Promise((resolve) => setTimeout(resolve, 150));
        });
    }

    async function convertAll() {
        const format = Number(outputType.value);
        const readEntries = entries.filter((entry) => entry.read);
        setBusy(true);
        const summary = [];
        for (const [index, entry] of readEntries.entries()) {
            const name = entry.file.name;
            showProgress(index, readEntries.length,
                `Converting ${name} (${index + 1} of ${readEntries.length})…`);
            clearSaved(entry);
            entry.message.hidden = true;
            const answer = await call('convert', { id: entry.id, format, ...separators });
            if (typeof answer.paneText === 'string') {
                showPane(entry, answer.paneText);
            }
            if (answer.failure) {
                const output = answer.output ?? name;
                showFailure(entry, kWriteFailed, output, answer.failure);
                summary.push(`${output}: not written (${answer.failure}).`);
            } else {
                offer(entry, answer.outputs);
                summary.push(`${answer.outputs.map((output) => output.name).join(' and ')}: converted.`);
            }
        }
        setBusy(false);
        status.textContent = summary.join(' ');
    }

    async function changeSeparators() {
        const problems = await call('checkSeparators', { list: listField.value, decimal: decimalField.value });
        const problem = problems.list || problems.decimal;
        separatorProblem.textContent = problem ? `Not changed: ${problem}.` : '';
        if (problem) {
            return;
        }
        const decimalChanged = decimalField.value !== separators.decimal;
        separators.list = listField.value;
        separators.decimal = decimalField.value;
        separatorOrigin.textContent = 'Chosen here.';
        // The echo shows numbers with the decimal separator: read again.
        if (decimalChanged && entries.length > 0) {
            await readAll();
        }
    }

    async function start() {
        const language = languageDecimalSeparator();
        const { decimal: problem } = await call('checkSeparators', { list: ',', decimal: language });
        separators.decimal = problem ? '.' : language;
        separators.list = (await call('separators', { decimal: separators.decimal })).list;
        listField.value = separators.list;
        decimalField.value = separators.decimal;
        separatorOrigin.textContent = problem
            ? `A decimal point: the one of your browser's language (${navigator.language}) can't be used (${problem}).`
            : `From your browser's language (${navigator.language}).`;
    }

    inputButton.addEventListener('click', () => fileInput.click());
    fileInput.addEventListener('change', () => {
        chooseFiles(fileInput.files);
        fileInput.value = '';
    });
    // A drop anywhere on the page does what Input does.
    document.addEventListener('dragover', (event) => event.preventDefault());
    document.addEventListener('drop', (event) => {
        event.preventDefault();
        chooseFiles(event.dataTransfer.files);
    });
    convertButton.addEventListener('click', convertAll);
    listField.addEventListener('change', changeSeparators);
    decimalField.addEventListener('change', changeSeparators);
    start();
})();
