// The page, opened from disk in headless Chromium, against the native programs: for each file of
// one table, each format holds the bytes of the command line converter's with the same separators
// or, where the converter refuses, shows its error and offers nothing; the results pane shows the
// window's text; a damaged file shows the converter's error and offers nothing. Also: the page
// asks for nothing outside its own folder, and an accessibility audit finds no violation.
//   node --test tests/web/   (after building the linux and web presets)
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { unzipSync } from 'fflate';
import { chromium } from 'playwright-core';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const pageFolder = path.join(root, 'build/web');
const native = path.join(root, 'build/linux');
const cli = path.join(native, 'cli/dsf2vemo-cli');

// The browser's language, and the separators it gives: a decimal comma, so a semicolon list
// separator.
const kLanguage = 'de-DE';
const kSeparators = { list: ';', decimal: ',' };
// In the order of the page's Output choice; Mplus last, since its renamings join the pane. The
// page hands the Mplus pair over in one archive.
const kFormats = [
    { name: 'vemo', extensions: ['.txt'] },
    { name: 'json', extensions: ['.json'] },
    { name: 'mplus', extensions: ['.inp', '.dat'], archive: '-mplus.zip' },
];
const kReadFailed = 'An error occurred while trying to read the Prelis file,';
const kOutOfMemory = 'not enough memory for this file in the browser, which gives a page far less than the '
    + 'computer has; dsf2vemo-cli converts it';
const kWriteFailed = 'An error occurred while trying to write the Vemo-compatible file,';

const rows = [
    { name: 'demo.dsf' },
    { name: 'nul_padding.dsf' },
    { name: 'high_bit_names.dsf' },
    { name: 'not_finite.dsf' },
    { name: 'damaged.dsf' },
    { name: 'p200.dsf' },
];

let work;
let browser;
let context;
let page;
const requests = [];
const downloads = [];

function run(program, args) {
    const result = spawnSync(program, args, { maxBuffer: 1 << 28 });
    assert.ok(result.status === 0 || result.status === 1, `${program} ${args.join(' ')}: ${result.stderr}`);
    return result;
}

// What the converter said after "error: ", and about what.
function converterError(stderr) {
    const match = stderr.toString().match(/^dsf2vemo-cli: error: cannot \w+ '.*?': (.*)\n$/);
    assert.ok(match, `no error from the converter: ${stderr}`);
    return match[1];
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

// The converter's result for `row` in `format`: the files by name, or its error.
function converted(row, format) {
    const folder = path.join(work, format.name);
    fs.mkdirSync(folder, { recursive: true });
    const names = format.extensions.map((extension) => baseName(row.name) + extension);
    const { status, stderr } = run(cli, ['--quiet', '--list-separator', kSeparators.list,
        '--decimal-separator', kSeparators.decimal, '--format', format.name,
        '-o', path.join(folder, names[0]), row.path]);
    if (status !== 0) {
        return { error: converterError(stderr), files: new Map() };
    }
    return { files: new Map(names.map((name) => [name, fs.readFileSync(path.join(folder, name))])) };
}

// Until every pane's text is all there: a large one is drawn a slice at a time after it is shown.
async function allDrawn(shown) {
    await shown.waitForFunction(() => !document.querySelector('.pane[aria-busy]'), null, { timeout: 30000 });
}

// What the page shows for each file, from its sections.
async function sections() {
    await allDrawn(page);
    const all = await page.$$eval('#results section', (elements) => elements.map((section) => ({
        name: section.querySelector('h2').textContent,
        pane: section.querySelector('.pane').textContent,
        failure: section.querySelector('.failure').hidden ? '' : section.querySelector('.failure').textContent,
    })));
    return new Map(all.map((section) => [section.name, section]));
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

// The files of an archive, by name, with the archive's own name in `archive`.
function unpacked(archiveName, bytes) {
    return new Map(Object.entries(unzipSync(new Uint8Array(bytes)))
        .map(([name, content]) => [name, Object.assign(Buffer.from(content), { archive: archiveName })]));
}

// The page from disk, ready for files; `search` holds its test hooks, `watch` what sees it first.
async function openPage(search = '', watch = () => {}) {
    const opened = await context.newPage();
    watch(opened);
    await opened.goto(pathToFileURL(path.join(pageFolder, 'index.html')).href + search);
    await opened.waitForFunction(() => document.querySelector('#list-separator').value !== '');
    return opened;
}

async function waitFor(condition, what) {
    for (let waited = 0; !condition(); waited += 50) {
        assert.ok(waited < 30000, what);
        await new Promise((resolve) => setTimeout(resolve, 50));
    }
}

before(async () => {
    work = fs.mkdtempSync(path.join(os.tmpdir(), 'dsf2vemo-page-'));
    run(path.join(native, 'tests/web/make_page_test_files'), [work]);
    fs.copyFileSync(path.join(root, 'examples/demo.dsf'), path.join(work, 'demo.dsf'));
    for (const row of rows) {
        row.path = path.join(work, row.name);
        // --check fails quietly for findings, with an error for a file it can't read.
        const { stderr } = run(cli, ['--quiet', '--check', row.path]);
        row.readError = stderr.length > 0 ? converterError(stderr) : '';
        row.expected = row.readError ? [] : kFormats.map((format) => converted(row, format));
        row.seen = { outputs: new Map(), failures: [] };
    }

    browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
    context = await browser.newContext({ locale: kLanguage, acceptDownloads: true });
    page = await openPage('', (opened) => {
        opened.on('request', (request) => requests.push(request.url()));
        opened.on('download', (download) => downloads.push(download));
    });
    await page.setInputFiles('#input-files', rows.map((row) => row.path));
    await page.waitForFunction((count) => document.querySelectorAll('#results .pane').length === count
        && document.querySelector('#status').textContent.includes('p200.dsf'), rows.length, { timeout: 60000 });
    await waitUntilIdle();
    let shown = await sections();
    for (const row of rows) {
        row.seen.afterRead = shown.get(row.name)?.pane;
        row.seen.readFailure = shown.get(row.name)?.failure;
    }
    for (const [index, format] of kFormats.entries()) {
        const count = rows.reduce((sum, row) => sum + Math.min(row.expected[index]?.files.size ?? 0,
            format.archive ? 1 : Infinity), 0);
        for (const [name, bytes] of await convert(index, count)) {
            const found = format.archive && name.endsWith(format.archive)
                ? unpacked(name, bytes) : new Map([[name, bytes]]);
            for (const [inner, content] of found) {
                rows.find((row) => baseName(row.name) === baseName(inner))?.seen.outputs.set(inner, content);
            }
        }
        shown = await sections();
        for (const row of rows) {
            row.seen.failures[index] = shown.get(row.name)?.failure;
        }
    }
    for (const row of rows) {
        row.seen.afterMplus = shown.get(row.name)?.pane;
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

test('each file through the page: the converter\'s bytes and errors, the window\'s pane', async (t) => {
    for (const row of rows) {
        await t.test(row.name, async () => {
            const { seen } = row;
            assert.equal(seen.afterRead, await windowPane(row.path));
            if (row.readError) {
                assert.equal(seen.readFailure, `${kReadFailed}\n${row.name}.\n\n(${row.readError})`);
                assert.deepEqual([...seen.outputs.keys()], []);
                return;
            }
            assert.equal(seen.readFailure, '');
            assert.equal(seen.afterMplus, await windowPane(row.path, 'mplus'));
            for (const [index, format] of kFormats.entries()) {
                const { error, files } = row.expected[index];
                const output = baseName(row.name) + format.extensions[0];
                assert.equal(seen.failures[index], error ? `${kWriteFailed}\n${output}.\n\n(${error})` : '');
                for (const extension of format.extensions) {
                    const name = baseName(row.name) + extension;
                    assert.equal(seen.outputs.has(name), files.has(name), `${name} offered or not as the converter wrote it`);
                    assert.ok(!files.has(name) || seen.outputs.get(name).equals(files.get(name)),
                        `${name} differs from the converter's`);
                    // Both files of a pair come in the one archive named after them.
                    assert.equal(seen.outputs.get(name)?.archive,
                        format.archive && files.has(name) ? baseName(row.name) + format.archive : undefined);
                }
            }
        });
    }
});

test('converting again while downloads wait takes none of them away', async () => {
    const vemo = rows.filter((row) => row.expected[0]?.files.size > 0);
    await page.selectOption('#output-type', '0');
    const start = downloads.length;
    await page.click('#convert');
    await waitUntilIdle();
    await page.click('#convert');
    await waitUntilIdle();
    await waitFor(() => downloads.length >= start + 2 * vemo.length, `${downloads.length - start} downloads came`);
    const names = [];
    for (const download of downloads.slice(start)) {
        const name = download.suggestedFilename();
        names.push(name);
        assert.equal(await download.failure(), null, name);
        const row = vemo.find((candidate) => baseName(candidate.name) === baseName(name));
        assert.ok(fs.readFileSync(await download.path()).equals(row.expected[0].files.get(name)), name);
    }
    assert.deepEqual(names.sort(), vemo.flatMap((row) => [...row.expected[0].files.keys()]).flatMap((name) => [name, name]).sort());
});

test('an echo longer than the pane shows its head and how much was left out; Convert still writes it all', async () => {
    const row = rows.find((candidate) => candidate.name === 'p200.dsf');
    const echo = await windowPane(row.path);
    for (const limit of [2000, 2001]) {
        const limited = await openPage(`?test-pane-limit=${limit}`);
        await limited.setInputFiles('#input-files', row.path);
        await limited.waitForFunction(() => document.querySelector('#status').textContent === 'p200.dsf: read.');
        const head = echo.slice(0, echo.lastIndexOf('\r\n', limit - 2) + 2);
        const leftOut = echo.slice(head.length).split('\r\n').length;
        await allDrawn(limited);
        assert.equal(await limited.textContent('.pane'), `${head}... and ${leftOut} more lines, left out here: `
            + `the page shows at most ${limit} characters of the echo. Convert still writes every value.\r\n`);
        const download = limited.waitForEvent('download');
        await limited.click('#convert');
        assert.ok(fs.readFileSync(await (await download).path()).equals(row.expected[0].files.get('p200.txt')));
        await limited.close();
    }
});

test('a pane shown before all its lines are drawn draws them all once scrolled', async () => {
    const row = rows.find((candidate) => candidate.name === 'p200.dsf');
    const echo = await windowPane(row.path);
    const drawn = await openPage('?test-pane-slices=off');
    await drawn.setInputFiles('#input-files', row.path);
    await drawn.waitForFunction(() => document.querySelector('#status').textContent === 'p200.dsf: read.');
    const shown = await drawn.textContent('.pane');
    assert.ok(echo.startsWith(shown) && shown.length < echo.length && shown.split('\r\n').length > 100,
        `${shown.length} of ${echo.length} characters shown first`);
    assert.equal(await drawn.getAttribute('.pane', 'aria-busy'), 'true');
    await drawn.locator('.pane').evaluate((pane) => { pane.scrollTop = 100; });
    await allDrawn(drawn);
    assert.equal(await drawn.textContent('.pane'), echo);
    await drawn.close();
});

test('memory running short is said in words, and nothing is offered', async () => {
    const row = rows.find((candidate) => candidate.name === 'p200.dsf');
    const short = await openPage('?test-memory-free=65536');
    await short.setInputFiles('#input-files', row.path);
    await short.waitForFunction(() => document.querySelector('#status').textContent.startsWith('p200.dsf: not read'));
    assert.equal(await short.textContent('#results .failure'), `${kReadFailed}\np200.dsf.\n\n(${kOutOfMemory})`);
    assert.ok(await short.isDisabled('#convert'));
    await short.close();
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
