// The web build's frame against the native headless frame, in one run:
//   node bench-web.mjs WEB_DIR OZMIR_BENCH [FRAMES]
// For 1024x768 and 1920x1080: ozmir-bench's whole frame (full screen, every star slot in
// use) and the page's (the same flight on its virtual clock, timed with performance.now()
// around each frame: the frame's work and its upload into the canvas), and their ratio.
// Then the page flies live at 1920x1080 for 5 s and reports the animation frames per
// second the browser gave it and the frame rate the program measured.

import { execFileSync, spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';

const puppeteer = createRequire(import.meta.url)('puppeteer-core');
const [webDir, bench, framesText] = process.argv.slice(2);
const frames = Number(framesText) || 600;

const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1'],
                     { cwd: webDir, stdio: ['ignore', 'pipe', 'ignore'] });
const port = await new Promise((resolve) => server.stdout.on('data', (d) => {
  const m = /port (\d+)/.exec(String(d));
  if (m) resolve(m[1]);
}));
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: true,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync',
         `--user-data-dir=${fs.mkdtempSync(path.join(os.tmpdir(), 'ozmir-chromium-'))}`],
});

try {
  console.log(`machine: ${os.cpus().length} x ${os.cpus()[0].model}; ${frames} frames each`);
  const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
  for (const size of ['1024x768', '1920x1080']) {
    const [w, h] = size.split('x').map(Number);
    // Native and page in turn, three times: the median of each, so that a busy moment of
    // the machine weighs on neither alone.
    const native = [], paged = [], presents = [];
    for (let round = 0; round < 3; ++round) {
      const text = execFileSync(bench, ['--frames', String(frames), '--screen', size]).toString();
      const row = text.split('\n').find((l) => l.startsWith(`${size} full`)).trim().split(/\s+/);
      native.push(Number(row[8])); // the "frame" column
      const page = await browser.newPage();
      await page.setViewport({ width: w, height: h });
      await page.goto(`http://127.0.0.1:${port}/index.html?bench=${frames}&screen=${size}`);
      await page.waitForFunction(() => ozmirPage.bench !== null, { timeout: 300000, polling: 500 });
      const { ms, presentMs } = await page.evaluate(() => ozmirPage.bench);
      paged.push(ms);
      presents.push(presentMs);
      await page.close();
    }
    const [nativeMs, pageMs, presentMs] = [median(native), median(paged), median(presents)];
    console.log(`${size}: native ${nativeMs.toFixed(3)} ms, page ${pageMs.toFixed(3)} ms per frame ` +
                `(${presentMs.toFixed(3)} of it into the canvas), page / native = ${(pageMs / nativeMs).toFixed(2)}` +
                ` (medians of native ${native.map((v) => v.toFixed(3)).join(' ')}; page ${paged.map((v) => v.toFixed(3)).join(' ')})`);
  }
  // The animation frames a page that draws nothing gets, as the baseline.
  const blank = await browser.newPage();
  await blank.setViewport({ width: 1920, height: 1080 });
  const bare = await blank.evaluate(() => new Promise((resolve) => {
    let count = 0;
    const start = performance.now();
    const tick = () => {
      ++count;
      if (performance.now() - start < 5000) requestAnimationFrame(tick);
      else resolve(count * 1000 / (performance.now() - start));
    };
    requestAnimationFrame(tick);
  }));
  await blank.close();
  console.log(`1920x1080 blank page: ${bare.toFixed(1)} animation frames/s`);
  const page = await browser.newPage();
  await page.setViewport({ width: 1920, height: 1080 });
  await page.goto(`http://127.0.0.1:${port}/index.html?stars=2000`);
  await page.waitForFunction(() => ozmirPage.ready && Module._ozmir_frame_rate() > 0, { timeout: 120000 });
  const [animationFrames, rate, work] = await page.evaluate(() => new Promise((resolve) => {
    let count = 0, work = 0;
    const start = performance.now();
    const tick = () => {
      ++count;
      work += Module._ozmir_frame_work_ms();
      if (performance.now() - start < 5000) requestAnimationFrame(tick);
      else resolve([count * 1000 / (performance.now() - start), Module._ozmir_frame_rate(), work / count]);
    };
    requestAnimationFrame(tick);
  }));
  console.log(`1920x1080 live: ${animationFrames.toFixed(1)} animation frames/s, the program measures ` +
              `${rate} frames/s, ${work.toFixed(3)} ms of work a frame`);
  await page.close();
} finally {
  await browser.close();
  server.kill();
}
