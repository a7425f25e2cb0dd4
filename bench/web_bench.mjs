// Times the page in headless Chromium on one data system file, opened from disk as a user would.
//   node bench/web_bench.mjs PAGE_FOLDER FILE.dsf RUNS         one line a run: "read_ms convert_ms"
//     from choosing the file to its pane shown, and from Convert to the text data file downloaded
//   node bench/web_bench.mjs PAGE_FOLDER FILE.dsf RUNS drop    one line a run: "drop_ms"
//     from the file dropped on the page to its pane drawn, timed inside the page
import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const [folder, file, runs, mode] = process.argv.slice(2);
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
const name = path.basename(file);

async function dropToPane(page) {
    const base64 = fs.readFileSync(file).toString('base64');
    return page.evaluate(async ([bytes, fileName]) => {
        const data = new DataTransfer();
        data.items.add(new File([Uint8Array.from(atob(bytes), (c) => c.charCodeAt(0))], fileName));
        const status = document.querySelector('#status');
        const read = new Promise((resolve) => {
            new MutationObserver(() => status.textContent === `${fileName}: read.` && resolve())
                .observe(status, { childList: true, characterData: true, subtree: true });
        });
        const drop = new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true });
        const start = performance.now();
        document.body.dispatchEvent(drop);
        await read;
        // Drawn: the frame after the pane's text went in has been painted.
        await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
        return performance.now() - start;
    }, [base64, name]);
}

for (let run = 0; run < Number(runs); ++run) {
    const context = await browser.newContext({ locale: 'en-US', acceptDownloads: true });
    const page = await context.newPage();
    await page.goto(pathToFileURL(path.join(folder, 'index.html')).href);
    await page.waitForFunction(() => document.querySelector('#list-separator').value !== '');
    if (mode === 'drop') {
        console.log((await dropToPane(page)).toFixed(1));
        await context.close();
        continue;
    }
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
