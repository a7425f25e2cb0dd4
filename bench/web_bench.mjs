// Times the page in headless Chromium on one data system file, opened from disk as a user would:
// from choosing the file to its pane shown, and from Convert to the text data file downloaded.
//   node bench/web_bench.mjs PAGE_FOLDER FILE.dsf RUNS
// Prints one line per run: "read_ms convert_ms".
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const [folder, file, runs] = process.argv.slice(2);
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
const name = path.basename(file);
for (let run = 0; run < Number(runs); ++run) {
    const context = await browser.newContext({ locale: 'en-US', acceptDownloads: true });
    const page = await context.newPage();
    await page.goto(pathToFileURL(path.join(folder, 'index.html')).href);
    await page.waitForFunction(() => document.querySelector('#list-separator').value !== '');
    const start = performance.now();
    await page.setInputFiles('#input-files', file);
    await page.waitForFunction((text) => document.querySelector('#status').textContent === text,
        `${name}: read.`, { timeout: 120000, polling: 10 });
    const read = performance.now();
    const download = page.waitForEvent('download', { timeout: 120000 });
    await page.click('#convert');
    await (await download).path();
    const converted = performance.now();
    console.log(`${(read - start).toFixed(0)} ${(converted - read).toFixed(0)}`);
    await context.close();
}
await browser.close();
