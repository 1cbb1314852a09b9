// The web build's frame against the native headless frame, in one run:
//   node bench-web.mjs WEB_DIR OZMIR_BENCH [FRAMES] [ROUNDS]
// For 1024x768 and 1920x1080: ozmir-bench's whole frame (full screen, every star slot in
// use) and the page's (the same flight on its virtual clock, timed with performance.now()
// around each frame), on two footings: paced, each frame in its own 60 Hz period (the
// page's animation frames; ozmir-bench --paced), finding the processor's caches as the rest
// of the machine left them, as a flight runs; and back to back, each frame finding the
// last one's data still in the caches. On each, the ratio twice: on the same footing
// (ozmir-bench's steps, which end with the frame's pixels presented into memory) and with
// the page's whole frame (which also has the browser copy them into the canvas: "upload");
// then both frames step by step (the page's "other": its event dispatch, outside the steps),
// and how many rectangles and pixels the page handed to putImageData a frame.
// Then the page flies live at 1920x1080 for 5 s and reports the animation frames per
// second the browser gave it and the frame rate the program measured.

import { execFileSync, spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';

const puppeteer = createRequire(import.meta.url)('puppeteer-core');
const [webDir, bench, framesText, roundsText] = process.argv.slice(2);
const frames = Number(framesText) || 600;
const rounds = Number(roundsText) || 3;

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
  const steps = ['clear', 'stars', 'steering', 'overlays', 'compose', 'present'];
  const row = (values) => values.map((v) => v.toFixed(3).padStart(9)).join('');
  // The same footing as ozmir-bench's frame: its six steps, up to the pixels in memory.
  const drawn = (r) => r.steps.slice(0, 6).reduce((a, b) => a + b);
  const median = (runs, key) => [...runs].sort((a, b) => key(a) - key(b))[Math.floor(runs.length / 2)];
  const list = (runs, key) => runs.map((r) => key(r).toFixed(3)).join(' ');
  const nativeRun = (size, paced) => {
    const text = execFileSync(bench, ['--frames', String(frames), '--screen', size,
                                      ...(paced ? ['--paced'] : [])]).toString();
    const cells = text.split('\n').find((l) => l.startsWith(`${size} full`)).trim().split(/\s+/);
    return { ms: Number(cells[8]), steps: cells.slice(2, 8).map(Number) };
  };
  for (const size of ['1024x768', '1920x1080']) {
    const [w, h] = size.split('x').map(Number);
    // Native and page in turn, `rounds` times: the median of each, so that a busy moment of
    // the machine weighs on neither alone. Each run's frame and steps are kept together.
    const runs = { paced: { native: [], page: [] }, backToBack: { native: [], page: [] } };
    for (let round = 0; round < rounds; ++round) {
      runs.backToBack.native.push(nativeRun(size, false));
      runs.paced.native.push(nativeRun(size, true));
      const page = await browser.newPage();
      await page.setViewport({ width: w, height: h });
      await page.goto(`http://127.0.0.1:${port}/index.html?bench=${frames}&screen=${size}`);
      await page.waitForFunction(() => ozmirPage.bench !== null, { timeout: 300000, polling: 500 });
      const result = await page.evaluate(() => ozmirPage.bench);
      runs.paced.page.push(result.paced);
      runs.backToBack.page.push(result.backToBack);
      await page.close();
    }
    for (const footing of ['paced', 'backToBack']) {
      const { native, page: paged } = runs[footing];
      const n = median(native, (r) => r.ms);
      const [p, q] = [median(paged, (r) => r.ms), median(paged, drawn)];
      console.log(`${size}, ${footing === 'paced' ? 'paced at 60 Hz' : 'back to back'}: ` +
                  `native frame ${n.ms.toFixed(3)} ms (runs ${list(native, (r) => r.ms)})`);
      console.log(`  page, the same steps: ${drawn(q).toFixed(3)} ms, page / native = ` +
                  `${(drawn(q) / n.ms).toFixed(2)} (runs ${list(paged, drawn)})`);
      console.log(`  page, whole frame with the upload into the canvas: ${p.ms.toFixed(3)} ms, ` +
                  `page / native = ${(p.ms / n.ms).toFixed(2)} (runs ${list(paged, (r) => r.ms)})`);
      console.log(`  ms per frame  ${steps.map((s) => s.padStart(9)).join('')}    upload     other`);
      console.log(`  native        ${row(n.steps)}`);
      console.log(`  page          ${row(q.steps)}` +
                  `${(q.ms - q.steps.reduce((a, b) => a + b)).toFixed(3).padStart(10)}`);
      console.log(`  the page's upload: ${q.puts.toFixed(1)} putImageData calls, ` +
                  `${Math.round(q.pixels)} pixels a frame`);
    }
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
