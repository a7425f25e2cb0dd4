// The page: the window's flow (Input, Output, Convert) over the converter in its worker. Nothing
// is sent anywhere: the files are read from disk by the browser and handed back as downloads.
import { ConverterClient } from './converter_client.js';
import { Downloads } from './downloads.js';
import { clearSaved, hideFailure, makeSection, showFailure, showPane, showSaved } from './sections.js';

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

// What the tests may ask of the page: a lower limit of the pane, less memory for the module, a
// pane's lines drawn only once it is scrolled.
const testing = new URLSearchParams(location.search);
const paneOptions = { slices: testing.get('test-pane-slices') !== 'off' };

// converterSource: the text of converter.js, loaded before this script. The second converter
// converts a file while the first reads it for its pane: each has a core of its own.
const converter = new ConverterClient(converterSource);
const ahead = new ConverterClient(converterSource);
// Files up to this size are converted ahead; a larger one would hold its moments twice.
const kAheadBytes = 64 << 20;
// The Output choices of a single file, whose conversion never changes the pane: Vemo, JSON.
const isOneFile = (format) => format === 0 || format === 1;
const downloads = new Downloads();

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

// Every file read is converted ahead of Convert, in the format and with the separators in use,
// while the page draws; a Convert with the same ones then only hands the files over.
function prepareAll() {
    const format = Number(outputType.value);
    for (const entry of entries.filter((candidate) => candidate.read)) {
        if (entry.ahead !== keyOf(format)) {
            if (entry.ahead) {
                ahead.forget(entry.id);
                entry.ahead = null;
            }
            converter.prepare(entry.id, format, separators);
        }
    }
}

function keyOf(format) {
    return JSON.stringify([format, separators.list, separators.decimal]);
}

// Reads the entry's file once, here: each worker reading it for itself would take the machine
// twice as long while the pane waits. The converter reads it for the pane; a copy goes to the
// second converter if the file is converted ahead. As the converter answers a read.
async function readEntry(entry, format, paneLimit) {
    let bytes;
    try {
        bytes = new Uint8Array(await entry.file.arrayBuffer());
    } catch (error) {
        // What the converter holds of an earlier read of it goes, as a read would let it go.
        await converter.forget(entry.id);
        const failure = `the file can't be read (${error.message})`;
        return { read: false, failure, pane: { bytes: new Uint8Array(), failure: '' } };
    }
    const { name } = entry.file;
    if (isOneFile(format) && bytes.length <= kAheadBytes) {
        try {
            ahead.convertAhead(entry.id, name, bytes.slice(), format, separators);
            entry.ahead = keyOf(format);
        } catch {
            // No memory for the copy: the converter converts the file when asked.
        }
    }
    return converter.read(entry.id, name, bytes, separators.decimal, paneLimit);
}

// Reads every entry in turn with the separators in use; the summary is announced.
async function readAll() {
    setBusy(true);
    const summary = [];
    const paneLimit = Number(testing.get('test-pane-limit') ?? -1);
    for (const [index, entry] of entries.entries()) {
        const { name } = entry.file;
        const counted = `${index + 1} of ${entries.length}`;
        showProgress(index, entries.length, `Reading ${name} (${counted})…`);
        converter.onProgress = () => showProgress(index + 0.5, entries.length, `Checking ${name} (${counted})…`);
        clearSaved(entry, downloads);
        hideFailure(entry);
        const format = Number(outputType.value);
        if (entry.ahead) {
            ahead.forget(entry.id);
            entry.ahead = null;
        }
        const answer = await readEntry(entry, format, paneLimit);
        entry.read = Boolean(answer.read);
        showPane(entry, answer.pane.bytes, paneOptions);
        if (answer.pane.failure) {
            showFailure(entry, kReadFailed, name, answer.pane.failure);
            summary.push(`${name}: read, but not shown (${answer.pane.failure}).`);
        } else if (answer.read) {
            summary.push(answer.warnings > 0
                ? `${name}: read, ${answer.warnings} ${answer.warnings === 1 ? 'warning' : 'warnings'}.`
                : `${name}: read.`);
        } else {
            showFailure(entry, kReadFailed, name, answer.failure);
            summary.push(`${name}: not read (${answer.failure}).`);
        }
    }
    converter.onProgress = () => {};
    prepareAll();
    setBusy(false);
    status.textContent = summary.join(' ');
}

async function chooseFiles(files) {
    if (busy || files.length === 0) {
        return;
    }
    const forgotten = entries.flatMap((entry) => {
        clearSaved(entry, downloads);
        return [converter.forget(entry.id), ahead.forget(entry.id)];
    });
    entries = [...files].map((file) => ({ id: ++lastId, file, read: false }));
    results.replaceChildren(...entries.map(makeSection));
    inputNames.textContent = entries.map((entry) => entry.file.name).join(', ');
    await Promise.all(forgotten);
    await readAll();
}

async function convertAll() {
    clearTimeout(preparing);
    const format = Number(outputType.value);
    const readEntries = entries.filter((entry) => entry.read);
    setBusy(true);
    const summary = [];
    for (const [index, entry] of readEntries.entries()) {
        const { name } = entry.file;
        showProgress(index, readEntries.length, `Converting ${name} (${index + 1} of ${readEntries.length})…`);
        clearSaved(entry, downloads);
        hideFailure(entry);
        const taken = entry.ahead === keyOf(format) ? await ahead.take(entry.id, format, separators) : null;
        entry.ahead = null;
        const answer = taken && !taken.missing ? taken : await converter.convert(entry.id, format, separators);
        if (answer.pane) {
            showPane(entry, answer.pane.bytes, paneOptions);
        }
        if (answer.failure) {
            const output = answer.output || name;
            showFailure(entry, kWriteFailed, output, answer.failure);
            summary.push(`${output}: not written (${answer.failure}).`);
        } else {
            showSaved(entry, downloads.offer(answer.outputs));
            summary.push(`${answer.outputs.map((output) => output.name).join(' and ')}: converted.`);
        }
    }
    setBusy(false);
    status.textContent = summary.join(' ');
}

async function changeSeparators() {
    const problems = await converter.checkSeparators(listField.value, decimalField.value);
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
    } else {
        prepareSoon();
    }
}

async function start() {
    const language = languageDecimalSeparator();
    // Ready when both converters are, each having read its first file as it started.
    const [{ decimal: problem }] = await Promise.all([converter.checkSeparators(',', language),
        ahead.checkSeparators(',', language)]);
    separators.decimal = problem ? '.' : language;
    separators.list = (await converter.separators(separators.decimal)).list;
    listField.value = separators.list;
    decimalField.value = separators.decimal;
    separatorOrigin.textContent = problem
        ? `A decimal point: the one of your browser's language (${navigator.language}) can't be used (${problem}).`
        : `From your browser's language (${navigator.language}).`;
    const keepFree = testing.get('test-memory-free');
    if (keepFree !== null) {
        await converter.holdMemoryForTests(Number(keepFree));
    }
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
// A choice made in passing is not converted ahead: only the one that stays a moment.
let preparing = 0;
function prepareSoon() {
    clearTimeout(preparing);
    preparing = setTimeout(() => busy || prepareAll(), 300);
}
outputType.addEventListener('change', prepareSoon);
listField.addEventListener('change', changeSeparators);
decimalField.addEventListener('change', changeSeparators);
start();
