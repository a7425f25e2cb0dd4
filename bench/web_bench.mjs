// Times the page in headless Chromium on one data system file, opened from disk as a user would.
//   node bench/web_bench.mjs PAGE_FOLDER FILE.dsf RUNS         one line a run: "read_ms convert_ms"
//     from the file chosen to its pane drawn, timed inside the page from the moment the file input
//     tells the page of the file, and from Convert clicked to the text data file downloaded
//   node bench/web_bench.mjs PAGE_FOLDER FILE.dsf RUNS drop    one line a run: "drop_ms"
//     from the file dropped on the page to its pane drawn, timed inside the page
// Timed inside the page, Playwright's own work before the file reaches the page (tens of
// milliseconds to set the input's files) and its polling for the result are left out: a user's
// choice reaches the page as that event.
import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const [folder, file, runs, mode] = process.argv.slice(2);
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
const name = path.basename(file);

// Resolves, in the page, once the status says `fileName` was read and the frame after it has been
// painted.
function paneDrawn(fileName) {
    const status = document.querySelector('#status');
    return new Promise((resolve) => {
        new MutationObserver(() => status.textContent === `${fileName}: read.` && resolve())
            .observe(status, { childList: true, characterData: true, subtree: true });
    }).then(() => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0))));
}

async function dropToPane(page) {
    const base64 = fs.readFileSync(file).toString('base64');
    return page.evaluate(async ([bytes, fileName]) => {
        const data = new DataTransfer();
        data.items.add(new File([Uint8Array.from(atob(bytes), (c) => c.charCodeAt(0))], fileName));
        const drawn = window.paneDrawn(fileName);
        const drop = new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true });
        const start = performance.now();
        document.body.dispatchEvent(drop);
        await drawn;
        return performance.now() - start;
    }, [base64, name]);
}

// From the file input's change event, ahead of the page's own listener, to its pane drawn.
async function chooseToPane(page) {
    await page.evaluate((fileName) => {
        const drawn = window.paneDrawn(fileName);
        window.timed = new Promise((resolve) => {
            document.querySelector('#input-files').addEventListener('change', () => {
                const start = performance.now();
                drawn.then(() => resolve(performance.now() - start));
            }, { once: true, capture: true });
        });
    }, name);
    await page.setInputFiles('#input-files', file);
    return page.evaluate(() => window.timed);
}

for (let run = 0; run < Number(runs); ++run) {
    const context = await browser.newContext({ locale: 'en-US', acceptDownloads: true });
    const page = await context.newPage();
    await page.goto(pathToFileURL(path.join(folder, 'index.html')).href);
    await page.waitForFunction(() => document.querySelector('#list-separator').value !== '');
    await page.evaluate(`window.paneDrawn = ${paneDrawn}`);
    if (mode === 'drop') {
        console.log((await dropToPane(page)).toFixed(1));
        await context.close();
        continue;
    }
    const read = await chooseToPane(page);
    // Clicked from the script rather than by Playwright's click, which first waits for the button
    // to hold still over several frames.
    const download = page.waitForEvent('download', { timeout: 120000 });
    const start = performance.now();
    await page.evaluate(() => document.querySelector('#convert').click());
    await (await download).path();
    const converted = performance.now() - start;
    console.log(`${read.toFixed(0)} ${converted.toFixed(0)}`);
    await context.close();
}
await browser.close();
