// Photographs the page after it has read a file, in headless Chromium:
//   node tools/screenshot_web.mjs PAGE_FOLDER FILE.dsf PICTURE.png
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const [folder, file, picture] = process.argv.slice(2);
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
const page = await browser.newPage({ locale: 'en-US', viewport: { width: 800, height: 600 } });
await page.goto(pathToFileURL(path.join(folder, 'index.html')).href);
await page.waitForFunction(() => document.querySelector('#list-separator').value !== '');
await page.setInputFiles('#input-files', file);
await page.waitForFunction((name) => document.querySelector('#status').textContent.startsWith(`${name}:`),
    path.basename(file));
await page.screenshot({ path: picture, fullPage: true });
await browser.close();
