// The converter's side of the page, in a worker of its own so that the page stays responsive: it
// holds the files read and answers the page's messages (converter_client.js) in the order they
// come. It runs after the module's script, which defines createConverter.
import { zipSync } from 'fflate';

// The Output choice of Mplus: its pair goes out as one archive.
const kMplus = 2;

const converter = createConverter();
const files = new Map();
// For each file, the conversion made ahead of Convert: {key, answer, transfer}.
const prepared = new Map();

// A conversion is reused only with the same format and separators.
const keyOf = ({ format, list, decimal }) => JSON.stringify([format, list, decimal]);

function paneOf(file) {
    const { parts, failure } = file.paneText();
    return { answer: { parts, failure }, transfer: parts.map((part) => part.buffer) };
}

function bytesOf(parts) {
    if (parts.length === 1) {
        return parts[0];
    }
    const bytes = new Uint8Array(parts.reduce((size, part) => size + part.length, 0));
    parts.reduce((at, part) => (bytes.set(part, at), at + part.length), 0);
    return bytes;
}

function converted(file, { format, list, decimal }) {
    const { files: outputs, failure, output, archive, paneChanged } = file.convert(format, list, decimal);
    let offered = outputs.map(({ name, parts }) => ({ name, blob: new Blob(parts) }));
    if (format === kMplus && outputs.length > 0) {
        // Stored, not compressed: the archive is there to keep the pair together, and storing
        // takes a fraction of the time deflating a large data file would.
        const entries = Object.fromEntries(outputs.map(({ name, parts }) => [name, [bytesOf(parts), { level: 0 }]]));
        offered = [{ name: archive, blob: new Blob([zipSync(entries)]) }];
    }
    const pane = paneChanged ? paneOf(file) : null;
    return {
        answer: { outputs: offered, failure, output, pane: pane?.answer ?? null },
        transfer: pane?.transfer ?? [],
    };
}

const handlers = {
    separators(module, { decimal }) {
        return { answer: { list: module.listSeparatorFor(decimal) } };
    },
    checkSeparators(module, { list, decimal }) {
        return { answer: { list: module.listSeparatorProblem(list), decimal: module.decimalSeparatorProblem(decimal) } };
    },
    read(module, { id, name, bytes, decimal, paneLimit }) {
        handlers.forget(module, { id });
        const file = new module.WebFile();
        files.set(id, file);
        file.read(name, new Uint8Array(bytes), decimal, paneLimit);
        if (file.isRead()) {
            postMessage({ id, progress: 'checking' });
            file.diagnose();
        }
        const pane = paneOf(file);
        return {
            answer: { read: file.isRead(), failure: file.failure(), warnings: file.findingCount(), pane: pane.answer },
            transfer: pane.transfer,
        };
    },
    prepare(module, message) {
        const file = files.get(message.id);
        if (file && prepared.get(message.id)?.key !== keyOf(message)) {
            prepared.set(message.id, { key: keyOf(message), ...converted(file, message) });
        }
        return { answer: {} };
    },
    // On the second worker, while the first echoes the same file for the pane: reads it without
    // echo or diagnosis, converts it, and lets it go; the files wait for `take`.
    convertAhead(module, { id, name, bytes, ...message }) {
        const file = new module.WebFile();
        try {
            file.read(name, new Uint8Array(bytes), message.decimal, 0);
            if (file.isRead()) {
                prepared.set(id, { key: keyOf(message), ...converted(file, message) });
            }
        } finally {
            file.delete();
        }
        return { answer: {} };
    },
    // What convertAhead made for `id`, if made with this format and these separators; otherwise
    // {missing: true}.
    take(module, message) {
        const ready = prepared.get(message.id);
        prepared.delete(message.id);
        return ready?.key === keyOf(message) ? ready : { answer: { missing: true } };
    },
    convert(module, message) {
        const ready = prepared.get(message.id);
        prepared.delete(message.id);
        if (ready?.key === keyOf(message)) {
            return ready;
        }
        return converted(files.get(message.id), message);
    },
    forget(module, { id }) {
        files.get(id)?.delete();
        files.delete(id);
        prepared.delete(id);
        return { answer: {} };
    },
    holdMemoryForTests(module, { keepFree }) {
        module.holdMemoryForTests(keepFree);
        return { answer: {} };
    },
};

// What reaches here is no failure of the converter's (those come as descriptions) but of the
// browser's: its memory for a page ran out, or a string or array grew past what it holds.
function describe(module, error) {
    return error instanceof RangeError || !(error instanceof Error) ? module.pageOutOfMemory() : String(error);
}

onmessage = async ({ data }) => {
    const module = await converter;
    let reply;
    try {
        reply = handlers[data.type](module, data);
    } catch (error) {
        // A read answers with a pane, empty here; a conversion leaves the pane as it was.
        const pane = data.type === 'read' ? { parts: [], failure: '' } : null;
        reply = { answer: { failure: describe(module, error), pane }, transfer: [] };
    }
    postMessage({ ...reply.answer, id: data.id, request: data.request, done: true }, reply.transfer);
};
