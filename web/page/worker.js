// The converter's side of the page, in a worker of its own so that the page stays responsive:
// it holds the files read, and answers the page's messages in the order they come.
const converter = createConverter();
const files = new Map();

function describe(file) {
    return {
        paneText: file.paneText(),
        read: file.isRead(),
        failure: file.failure(),
        warnings: file.findingCount(),
    };
}

const handlers = {
    separators(module, { decimal }) {
        return { list: module.listSeparatorFor(decimal) };
    },
    checkSeparators(module, { list, decimal }) {
        return {
            list: module.listSeparatorProblem(list),
            decimal: module.decimalSeparatorProblem(decimal),
        };
    },
    read(module, { id, name, bytes, decimal }) {
        files.get(id)?.delete();
        const file = new module.WebFile(name, new Uint8Array(bytes), decimal);
        files.set(id, file);
        if (file.isRead()) {
            postMessage({ id, progress: 'checking' });
            file.diagnose();
        }
        return describe(file);
    },
    convert(module, { id, format, list, decimal }) {
        const file = files.get(id);
        const { files: outputs, failure, output, paneChanged } = file.convert(format, list, decimal);
        return { outputs, failure, output, paneText: paneChanged ? file.paneText() : null };
    },
    forget(module, { id }) {
        files.get(id)?.delete();
        files.delete(id);
        return {};
    },
};

onmessage = async ({ data }) => {
    const module = await converter;
    let answer;
    try {
        answer = handlers[data.type](module, data);
    } catch (error) {
        answer = { failure: String(error) };
    }
    postMessage({ ...answer, id: data.id, request: data.request, done: true });
};
