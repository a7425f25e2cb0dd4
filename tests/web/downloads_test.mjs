// The downloads' hand-over, with the few parts of a page it touches stood in for: links clicked
// one at a time, and nothing retired taken away before its download was started, nor its bytes
// before a while after.
//   node --test tests/web/
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { Downloads } from '../../web/page/downloads.js';

const events = [];
class Element {
    constructor(tag) {
        this.tag = tag;
        this.children = [];
        this.parentElement = null;
        this.hidden = false;
    }
    append(...nodes) {
        for (const node of nodes.filter((candidate) => candidate instanceof Element)) {
            node.parentElement = this;
            this.children.push(node);
        }
    }
    remove() {
        this.parentElement.children = this.parentElement.children.filter((child) => child !== this);
        this.parentElement = null;
        events.push(`removed ${this.links.map(({ link }) => link.download).join(' ')}`);
    }
    click() {
        events.push(`clicked ${this.download}${this.parentElement?.parentElement ? '' : ' (off the page)'}`);
    }
}
globalThis.document = { createElement: (tag) => new Element(tag) };
globalThis.URL = {
    createObjectURL: (blob) => `blob:${blob}`,
    revokeObjectURL: (url) => events.push(`revoked ${url}`),
};
// A clock of the test's own, so that no load on the machine moves what happens when.
let now = 0;
let timers = [];
globalThis.setTimeout = (callback, delay) => timers.push({ at: now + delay, callback });
const settled = () => new Promise((resolve) => setImmediate(resolve));
async function sleep(ms) {
    const until = now + ms;
    for (await settled(); timers.some(({ at }) => at <= until); await settled()) {
        const next = timers.reduce((first, timer) => (timer.at < first.at ? timer : first));
        timers = timers.filter((timer) => timer !== next);
        now = next.at;
        next.callback();
    }
    now = until;
}

test('what is retired goes only after its downloads started, and its bytes a while later', async () => {
    const downloads = new Downloads({ gap: 20, keep: 200 });
    const holder = new Element('p');
    const first = downloads.offer([{ name: 'a.txt', blob: 'a' }, { name: 'b.txt', blob: 'b' }]);
    holder.append(first);
    downloads.retire(first);
    const second = downloads.offer([{ name: 'c.txt', blob: 'c' }]);
    holder.append(second);
    downloads.retire(first);
    await sleep(10);
    assert.deepEqual(events, ['clicked a.txt']);
    await sleep(60);
    assert.deepEqual(events, ['clicked a.txt', 'clicked b.txt', 'removed a.txt b.txt', 'clicked c.txt']);
    assert.deepEqual(holder.children, [second]);
    assert.equal(holder.hidden, false);
    await sleep(60);
    assert.equal(events.length, 4, 'bytes let go too soon');
    await sleep(120);
    assert.deepEqual(events.slice(4), ['revoked blob:a', 'revoked blob:b']);
    downloads.retire(second);
    await sleep(10);
    assert.deepEqual(holder.children, []);
    assert.equal(holder.hidden, true);
});
