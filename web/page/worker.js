// The converter's side of the page, in a worker of its own so that the page stays responsive: it
// holds the files read and answers the page's messages (converter_client.js) in the order they
// come. It runs after the module's script, which defines createConverter.
import { zipSync } from 'fflate';
import { joinedBytes } from './joined_bytes.js';

// The Output choice of Mplus: its pair goes out as one archive.
const kMplus = 2;

// Rounds of the first file at the start. The engine makes fast code of a function in the
// background once it has run a while, and a call picks it up only when it starts: one round leaves
// much of the user's first file to the slow code, on a machine of two cores most of all.
const kWarmUpRounds = 8;

const converter = createConverter().then((module) => {
    try {
        const bytes = module.warmUpFile();
        for (let round = 0; round < kWarmUpRounds; ++round) {
            warmUp(module, bytes);
        }
    } catch {
        // Only a head start: the converter works the same without it.
    }
    return module;
});
const files = new Map();
// For each file, the conversion made ahead of Convert: {key, answer}.
const prepared = new Map();

// A conversion is reused only with the same format and separators.
const keyOf = ({ format, list, decimal }) => JSON.stringify([format, list, decimal]);

function converted(file, { format, list, decimal }) {
    const { files: outputs, failure, output, archive, paneChanged } = file.convert(format, list, decimal);
    let offered = outputs.map(({ name, parts }) => ({ name, blob: new Blob(parts) }));
    if (format === kMplus && outputs.length > 0) {
        // Stored, not compressed: the archive is there to keep the pair together, and storing
        // takes a fraction of the time deflating a large data file would.
        const entries = Object.fromEntries(outputs.map(({ name, parts }) => [name, [joinedBytes(parts), { level: 0 }]]));
        offered = [{ name: archive, blob: new Blob([zipSync(entries)]) }];
    }
    return { outputs: offered, failure, output, pane: paneChanged ? file.paneText() : null };
}

// The engine makes fast code of a function only after it has run a while, and a call under way
// keeps the code it began with: a first file (`bytes`), read and converted in every format as the
// user's are, lets the user's run on the fast code from start to end.
function warmUp(module, bytes) {
    const file = new module.WebFile();
    try {
        file.read('warm-up.dsf', bytes, '.', -1);
        file.diagnose();
        file.paneText();
        for (const format of [0, 1, kMplus]) {
            converted(file, { format, list: ',', decimal: '.' });
        }
    } finally {
        file.delete();
    }
}

const handlers = {
    separators(module, { decimal }) {
        return { list: module.listSeparatorFor(decimal) };
    },
    checkSeparators(module, { list, decimal }) {
        return { list: module.listSeparatorProblem(list), decimal: module.decimalSeparatorProblem(decimal) };
    },
    read(module, { id, name, bytes, decimal, paneLimit }) {
        handlers.forget(module, { id });
        const file = new module.WebFile();
        files.set(id, file);
        file.read(name, bytes, decimal, paneLimit);
        if (file.isRead()) {
            postMessage({ id, progress: 'checking' });
            file.diagnose();
        }
        return { read: file.isRead(), failure: file.failure(), warnings: file.findingCount(), pane: file.paneText() };
    },
    prepare(module, message) {
        const file = files.get(message.id);
        if (file && prepared.get(message.id)?.key !== keyOf(message)) {
            prepared.set(message.id, { key: keyOf(message), answer: converted(file, message) });
        }
        return {};
    },
    // On the second worker, while the first echoes the same file for the pane: reads it without
    // echo or diagnosis, converts it, and lets it go; the files wait for `take`.
    convertAhead(module, { id, name, bytes, ...message }) {
        const file = new module.WebFile();
        try {
            file.read(name, bytes, message.decimal, 0);
            if (file.isRead()) {
                prepared.set(id, { key: keyOf(message), answer: converted(file, message) });
            }
        } finally {
            file.delete();
        }
        return {};
    },
    // What convertAhead made for `id`, if made with this format and these separators; otherwise
    // {missing: true}.
    take(module, message) {
        const ready = prepared.get(message.id);
        prepared.delete(message.id);
        return ready?.key === keyOf(message) ? ready.answer : { missing: true };
    },
    convert(module, message) {
        const ready = prepared.get(message.id);
        prepared.delete(message.id);
        if (ready?.key === keyOf(message)) {
            return ready.answer;
        }
        return converted(files.get(message.id), message);
    },
    forget(module, { id }) {
        files.get(id)?.delete();
        files.delete(id);
        prepared.delete(id);
        return {};
    },
    holdMemoryForTests(module, { keepFree }) {
        module.holdMemoryForTests(keepFree);
        return {};
    },
};

// What reaches here is no failure of the converter's (those come as descriptions) but of the
// browser's: its memory for a page ran out, or a string or array grew past what it holds.
function describe(module, error) {
    return error instanceof RangeError || !(error instanceof Error) ? module.pageOutOfMemory() : String(error);
}

// One message at a time, in the order they come.
let queue = converter;
onmessage = ({ data }) => {
    // A message that could not be answered leaves the next ones to be.
    queue = queue.then((module) => reply(module, data).then(() => module, () => module));
};

async function reply(module, data) {
    let answer;
    try {
        answer = await handlers[data.type](module, data);
    } catch (error) {
        // A read answers with a pane, empty here; a conversion leaves the pane as it was.
        const pane = data.type === 'read' ? { bytes: new Uint8Array(), failure: '' } : null;
        answer = { failure: describe(module, error), pane };
    }
    const transfer = answer.pane ? [answer.pane.bytes.buffer] : [];
    postMessage({ ...answer, id: data.id, request: data.request, done: true }, transfer);
}
