// The page's side of the converter's worker, which runs the module made from converter.js so that
// large files never freeze the page. Every message the worker answers has its function here; the
// worker answers in the order they were sent.
export class ConverterClient {
    constructor(source) {
        // A page opened from disk may not start a worker from a file: from its text it may.
        this.worker = new Worker(URL.createObjectURL(new Blob([source], { type: 'text/javascript' })));
        this.pending = new Map();
        this.lastRequest = 0;
        this.onProgress = () => {};
        this.worker.onmessage = ({ data }) => {
            if (!data.done) {
                this.onProgress(data);
                return;
            }
            this.pending.get(data.request)(data);
            this.pending.delete(data.request);
        };
    }

    // `transfer`: buffers of the message that move to the worker rather than being copied.
    call(type, message = {}, transfer = []) {
        const request = ++this.lastRequest;
        return new Promise((resolve) => {
            this.pending.set(request, resolve);
            this.worker.postMessage({ ...message, type, request }, transfer);
        });
    }

    // {list}: the list separator that goes with the decimal separator.
    separators(decimal) {
        return this.call('separators', { decimal });
    }

    // {list, decimal}: for each separator "" or why the text data file can't hold it.
    checkSeparators(list, decimal) {
        return this.call('checkSeparators', { list, decimal });
    }

    // Reads the file `name` of `bytes` (a Uint8Array, which goes to the worker) under `id`, echoing
    // numbers with the decimal separator. {read, failure, warnings, pane: {bytes, failure}}: the
    // pane's text in UTF-8. `paneLimit` (characters) lowers how much of the echo the pane keeps.
    read(id, name, bytes, decimal, paneLimit) {
        return this.call('read', { id, name, bytes, decimal, paneLimit }, [bytes.buffer]);
    }

    // Converts file `id` ahead of the user's Convert with the format and separators in use, so
    // that a Convert with the same ones finds the files ready.
    prepare(id, format, separators) {
        return this.call('prepare', { id, format, ...separators });
    }

    // {outputs: [{name, blob}], failure, output, pane}: the files to hand over or why there are
    // none, the name of the first file, and the pane's new text where the conversion changed it.
    convert(id, format, separators) {
        return this.call('convert', { id, format, ...separators });
    }

    // On a second worker: converts the file `name` of `bytes` (which go to the worker) while the
    // first reads it for the pane. The format is one of a single file, whose conversion never
    // changes the pane.
    convertAhead(id, name, bytes, format, separators) {
        return this.call('convertAhead', { id, name, bytes, format, ...separators }, [bytes.buffer]);
    }

    // What convertAhead made, as convert answers, or {missing: true} where it made nothing for
    // this format and these separators.
    take(id, format, separators) {
        return this.call('take', { id, format, ...separators });
    }

    forget(id) {
        return this.call('forget', { id });
    }

    // For the tests of running out of memory: leaves the module about `keepFree` bytes.
    holdMemoryForTests(keepFree) {
        return this.call('holdMemoryForTests', { keepFree });
    }
}
