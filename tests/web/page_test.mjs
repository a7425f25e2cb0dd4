// The page, opened from disk in headless Chromium, against the native programs: for each file of
// one table, every format it hands over holds the bytes of the command line converter's with the
// same separators, its results pane shows the window's text, and a damaged file shows the
// converter's error and offers nothing. Also: the page asks for nothing outside its own folder,
// and an accessibility audit finds no violation.
//   node --test tests/web/   (after building the linux and web presets)
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const pageFolder = path.join(root, 'build/web');
const native = path.join(root, 'build/linux');
const cli = path.join(native, 'cli/dsf2vemo-cli');

// The browser's language, and the separators it gives: a decimal comma, so a semicolon list
// separator.
const kLanguage = 'de-DE';
const kSeparators = { list: ';', decimal: ',' };
// In the order of the page's Output choice; Mplus last, since its renamings join the pane.
const kFormats = [
    { name: 'vemo', extensions: ['.txt'] },
    { name: 'json', extensions: ['.json'] },
    { name: 'mplus', extensions: ['.inp', '.dat'] },
];
const kReadFailed = 'An error occurred while trying to read the Prelis file,';

const rows = [
    { name: 'demo.dsf' },
    { name: 'nul_padding.dsf' },
    { name: 'high_bit_names.dsf' },
    { name: 'correlation_matrix.dsf' },
    { name: 'damaged.dsf', damaged: true },
    { name: 'p200.dsf' },
];

let work;
let browser;
let page;
const requests = [];
const downloads = [];
// Per file: the pane after reading and after converting to Mplus, the failure shown, and the
// bytes handed over in each format, by file name.
const shown = new Map();

function run(program, args) {
    const result = spawnSync(program, args, { maxBuffer: 1 << 28 });
    assert.ok(result.status === 0 || result.status === 1, `${program} ${args.join(' ')}: ${result.stderr}`);
    return result;
}

// The window's pane text as the page shows it: Windows-1252 (decoded by the browser, whose
// decoder follows the Encoding Standard), each NUL byte as the symbol for NUL.
async function windowPane(file, ...mplus) {
    const bytes = run(path.join(native, 'tests/web/window_pane_reference'), [file, kSeparators.decimal, ...mplus]).stdout;
    const text = await page.evaluate((base64) => new TextDecoder('windows-1252').decode(
        Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))), bytes.toString('base64'));
    return text.replaceAll('\0', '\u2400');
}

function baseName(name) {
    return name.slice(0, name.lastIndexOf('.'));
}

// What the page shows for each file, from its sections.
function sections() {
    return page.$$eval('#results section', (all) => all.map((section) => ({
        name: section.querySelector('h2').textContent,
        pane: section.querySelector('.pane').textContent,
        failure: section.querySelector('.failure').hidden ? '' : section.querySelector('.failure').textContent,
    })));
}

async function waitUntilIdle() {
    await page.waitForFunction(() => document.querySelector('#progress').hidden, null, { timeout: 60000 });
}

// Converts every file read in the format picked; the downloads, by name.
async function convert(formatIndex, expectedCount) {
    await page.selectOption('#output-type', String(formatIndex));
    const start = downloads.length;
    await page.click('#convert');
    await waitUntilIdle();
    for (let waited = 0; downloads.length < start + expectedCount; waited += 50) {
        assert.ok(waited < 30000, `${downloads.length - start} of ${expectedCount} downloads came`);
        await new Promise((resolve) => setTimeout(resolve, 50));
    }
    const files = new Map();
    for (const download of downloads.slice(start)) {
        files.set(download.suggestedFilename(), fs.readFileSync(await download.path()));
    }
    return files;
}

before(async () => {
    work = fs.mkdtempSync(path.join(os.tmpdir(), 'dsf2vemo-page-'));
    run(path.join(native, 'tests/web/make_page_test_files'), [work]);
    fs.copyFileSync(path.join(root, 'examples/demo.dsf'), path.join(work, 'demo.dsf'));
    for (const row of rows) {
        row.path = path.join(work, row.name);
    }

    browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
    const context = await browser.newContext({ locale: kLanguage, acceptDownloads: true });
    page = await context.newPage();
    page.on('request', (request) => requests.push(request.url()));
    page.on('download', (download) => downloads.push(download));
    await page.goto(pathToFileURL(path.join(pageFolder, 'index.html')).href);
    await page.waitForFunction(() => document.querySelector('#list-separator').value !== '');
    await page.setInputFiles('#input-files', rows.map((row) => row.path));
    await page.waitForFunction((count) => document.querySelectorAll('#results .pane').length === count
        && document.querySelector('#status').textContent.includes('p200.dsf'), rows.length, { timeout: 60000 });
    await waitUntilIdle();
    for (const section of await sections()) {
        shown.set(section.name, { afterRead: section.pane, failure: section.failure, outputs: new Map() });
    }
    const converted = rows.filter((row) => !row.damaged).length;
    for (const [index, format] of kFormats.entries()) {
        for (const [name, bytes] of await convert(index, converted * format.extensions.length)) {
            shown.get(`${baseName(name)}.dsf`).outputs.set(name, bytes);
        }
    }
    for (const section of await sections()) {
        shown.get(section.name).afterMplus = section.pane;
    }
});

after(async () => {
    await browser?.close();
    if (work) {
        fs.rmSync(work, { recursive: true, force: true });
    }
});

test('the separators come from the browser\'s language', async () => {
    assert.equal(await page.inputValue('#list-separator'), kSeparators.list);
    assert.equal(await page.inputValue('#decimal-separator'), kSeparators.decimal);
});

test('each file through the page: the converter\'s bytes and the window\'s pane', async (t) => {
    for (const row of rows) {
        await t.test(row.name, async () => {
            const seen = shown.get(row.name);
            assert.ok(seen, `the page shows no section for ${row.name}`);
            assert.equal(seen.afterRead, await windowPane(row.path));
            if (row.damaged) {
                const { stderr } = run(cli, [row.path]);
                const description = stderr.toString().match(/^dsf2vemo-cli: error: cannot read '.*?': (.*)\n$/)?.[1];
                assert.ok(description, `no read error from the converter: ${stderr}`);
                assert.equal(seen.failure, `${kReadFailed}\n${row.name}.\n\n(${description})`);
                assert.deepEqual([...seen.outputs.keys()], []);
                return;
            }
            assert.equal(seen.failure, '');
            assert.equal(seen.afterMplus, await windowPane(row.path, 'mplus'));
            for (const format of kFormats) {
                const expected = path.join(work, format.name);
                fs.mkdirSync(expected, { recursive: true });
                run(cli, ['--quiet', '--list-separator', kSeparators.list, '--decimal-separator', kSeparators.decimal,
                    '--format', format.name, '-o', path.join(expected, baseName(row.name) + format.extensions[0]), row.path]);
                for (const extension of format.extensions) {
                    const name = baseName(row.name) + extension;
                    assert.ok(seen.outputs.has(name), `the page handed over no ${name}`);
                    assert.ok(seen.outputs.get(name).equals(fs.readFileSync(path.join(expected, name))),
                        `${name} differs from the converter's`);
                }
            }
            assert.equal(seen.outputs.size, kFormats.flatMap((format) => format.extensions).length);
        });
    }
});

test('the page asks for nothing outside its own folder', () => {
    const folder = pathToFileURL(pageFolder).href + '/';
    const outside = requests.filter((url) => !url.startsWith(folder) && !url.startsWith('blob:'));
    assert.deepEqual(outside, []);
    assert.ok(requests.includes(`${folder}index.html`));
});

test('an accessibility audit finds no violation', async () => {
    await page.addScriptTag({ path: path.join(root, 'node_modules/axe-core/axe.min.js') });
    const { violations } = await page.evaluate(() => axe.run());
    assert.deepEqual(violations.map((violation) => `${violation.id}: ${violation.help}`), []);
});
