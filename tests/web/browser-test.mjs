// Flies the web build in Debian's chromium, headless, through puppeteer-core:
//   node browser-test.mjs SOURCE_DIR WEB_DIR OZMIR_RECORD ARTEFACT_DIR
// The page loads without a console error and flies; keys steer; a double click switches
// to window mode; a slider drag changes its label; the window is dragged by its
// background; the close button ends the flight and the page flies again; the options come
// from the query string. Then the recorder's scripts are replayed in the page on its
// virtual clock, and every screenshot's canvas pixels must equal ozmir-record's PNG.

import { execFileSync, spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
const puppeteer = require('puppeteer-core');

const [sourceDir, webDir, recorder, artefacts] = process.argv.slice(2);
fs.mkdirSync(artefacts, { recursive: true });
if (!fs.existsSync(path.join(webDir, 'index.html'))) {
  console.log(`FAIL no web build in ${webDir}: run make web first`);
  process.exit(1);
}
let failures = 0;
function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) failures++;
}
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// The page and the flights' scripts from one server: the web build at /, scripts at /flights/.
const served = fs.mkdtempSync(path.join(os.tmpdir(), 'ozmir-web-'));
for (const f of fs.readdirSync(webDir)) fs.copyFileSync(path.join(webDir, f), path.join(served, f));
fs.mkdirSync(path.join(served, 'flights'));
const flights = [path.join(sourceDir, 'docs/screenshots.script'),
  ...fs.readdirSync(path.join(sourceDir, 'tests/web/flights')).map((f) => path.join(sourceDir, 'tests/web/flights', f))];
for (const f of flights) fs.copyFileSync(f, path.join(served, 'flights', path.basename(f)));

const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1'],
                     { cwd: served, stdio: ['ignore', 'pipe', 'pipe'] });
const port = await new Promise((resolve, reject) => {
  server.stdout.on('data', (d) => { const m = /port (\d+)/.exec(String(d)); if (m) resolve(m[1]); });
  server.on('exit', () => reject(new Error('the web server did not start')));
});
const origin = `http://127.0.0.1:${port}`;

const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: true,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync',
         `--user-data-dir=${fs.mkdtempSync(path.join(os.tmpdir(), 'ozmir-chromium-'))}`],
});

// A page at the given query and size, with its console errors collected.
async function open(query, width = 1024, height = 768, ratio = 1, file = 'index.html') {
  const page = await browser.newPage();
  page.errors = [];
  page.on('console', (m) => { if (m.type() === 'error') page.errors.push(m.text()); });
  page.on('pageerror', (e) => page.errors.push(e.message));
  await page.setViewport({ width, height, deviceScaleFactor: ratio });
  await page.goto(`${origin}/${file}${query}`);
  await page.waitForFunction(() => ozmirPage.ready || ozmirPage.done, { timeout: 30000 });
  return page;
}
const flying = (page) => page.waitForFunction(() => Module._ozmir_frame_rate() > 0, { timeout: 10000 });
const canvasSum = (page) => page.evaluate(() => {
  const c = document.getElementById('window');
  const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
  let sum = 0;
  for (let i = 0; i < d.length; i += 4) sum = (sum * 31 + d[i] + d[i + 1] * 7 + d[i + 2] * 13) >>> 0;
  return sum;
});
const caption = (page, name) => page.evaluate((n) => Module.ccall('ozmir_caption', 'string', ['string'], [n]), name);
const canvasBox = (page) => page.evaluate(() => {
  const c = document.getElementById('window');
  const r = c.getBoundingClientRect();
  return { left: r.left, top: r.top, width: r.width, height: r.height, pixels: c.width };
});

try {
  // ---- Flying live ----
  {
    const page = await open('');
    await flying(page);
    const before = await canvasSum(page);
    await sleep(300);
    check(before !== await canvasSum(page), 'the stars move');
    const box = await canvasBox(page);
    check(box.width === 1024 && box.height === 768, `full screen fills the page (${box.width}x${box.height})`);

    await page.mouse.click(500, 400, { clickCount: 1 });
    await page.mouse.click(500, 400, { clickCount: 2 });
    await page.waitForFunction(() => Module._ozmir_full_screen() === 0, { timeout: 5000 }).catch(() => {});
    await sleep(100);
    const win = await canvasBox(page);
    check(await page.evaluate(() => Module._ozmir_full_screen()) === 0 &&
          win.left === 112 && win.top === 84 && win.width === 800 && win.height === 600,
          `a double click shows the 800 x 600 window centred (${JSON.stringify(win)})`);
    await page.screenshot({ path: path.join(artefacts, 'web-window.png') });

    // The speed slider's thumb (62 pixels into its surface at 7, 571) dragged right.
    const label = await caption(page, 'lblSpeed');
    await page.mouse.move(112 + 7 + 70, 84 + 581);
    await page.mouse.down();
    await page.mouse.move(112 + 7 + 100, 84 + 582, { steps: 4 });
    await page.mouse.up();
    await sleep(200);
    const dragged = await caption(page, 'lblSpeed');
    check(label === '5.0' && Number(dragged) > 5, `a slider drag changes its label (${label} -> ${dragged})`);

    // The grey border left of the view is the window's background.
    await page.mouse.move(114, 384);
    await page.mouse.down();
    await page.mouse.move(74, 344, { steps: 4 });
    await page.mouse.up();
    await sleep(200);
    const moved = await canvasBox(page);
    check(moved.left === 72 && moved.top === 44, `the window is dragged by its background (${moved.left}, ${moved.top})`);

    // The close button at the window's top right ends the flight; the page offers another.
    await page.mouse.click(moved.left + 796, moved.top + 4);
    await page.waitForFunction(() => ozmirPage.finished, { timeout: 5000 }).catch(() => {});
    const message = await page.evaluate(() => getComputedStyle(document.getElementById('message')).display !== 'none' &&
                                        document.getElementById('message').innerText);
    check(/The flight has ended\.[\s\S]*Fly again/.test(message || ''), `the close button ends the flight (${JSON.stringify(message)})`);
    await Promise.all([page.waitForNavigation(), page.click('#again')]);
    await page.waitForFunction(() => ozmirPage.ready, { timeout: 30000 });
    await flying(page);
    check(true, 'Fly again flies again');

    const speed = await page.evaluate(() => Module._ozmir_speed());
    await page.keyboard.down('r');
    await page.keyboard.down('a');
    await sleep(600);
    await page.keyboard.up('r');
    await page.keyboard.up('a');
    const [faster, look] = await page.evaluate(() => [Module._ozmir_speed(), Module._ozmir_look_angle()]);
    check(faster > speed && look !== 0, `R and A steer: speed ${speed} -> ${faster}, look ${look}`);

    check(page.errors.length === 0, `no console error (${page.errors.join('; ')})`);
    await page.close();
  }

  // ---- Full screen through the browser, and a dense screen ----
  {
    const page = await open('', 1024, 768, 2);
    await flying(page);
    const box = await canvasBox(page);
    check(box.width === 1024 && box.pixels === 2048, `a canvas of 2 device pixels a pixel (${box.pixels} across ${box.width})`);
    // Every pixel of the flight a square of 2 x 2 device pixels, stars among them.
    const [squares, lit] = await page.evaluate(() => {
      const c = document.getElementById('window');
      const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
      let square = true, lit = 0;
      for (let y = 0; y < c.height; y += 2)
        for (let x = 0; x < c.width; x += 2) {
          const at = (y * c.width + x) * 4;
          for (const o of [4, c.width * 4, c.width * 4 + 4])
            for (let k = 0; k < 3; ++k) square &&= d[at + o + k] === d[at + k];
          if (d[at] | d[at + 1] | d[at + 2]) ++lit;
        }
      return [square, lit];
    });
    check(squares && lit > 100, `each pixel a 2 x 2 square on the dense screen (${lit} lit)`);
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => Module._ozmir_full_screen() === 0, { timeout: 5000 }).catch(() => {});
    await page.mouse.click(400, 300, { clickCount: 1 });
    await page.mouse.click(400, 300, { clickCount: 2 });
    await page.waitForFunction(() => document.fullscreenElement !== null, { timeout: 5000 }).catch(() => {});
    check(await page.evaluate(() => Module._ozmir_full_screen() === 1 && document.fullscreenElement !== null),
          'Enter leaves full screen; a double click asks the browser for its full screen');
    await page.evaluate(() => document.exitFullscreen());
    await page.waitForFunction(() => Module._ozmir_full_screen() === 0, { timeout: 5000 }).catch(() => {});
    check(await page.evaluate(() => Module._ozmir_full_screen()) === 0, 'leaving the browser\'s full screen leaves the flight\'s');
    check(page.errors.length === 0, `no console error (${page.errors.join('; ')})`);
    await page.close();
  }

  // ---- Options from the query string ----
  {
    const page = await open('?speed=20&fps&autopilot=0');
    await flying(page);
    check(await page.evaluate(() => Module._ozmir_speed()) === 2, '?speed=20 starts at speed 20.0');
    await page.close();
    const refused = await open('?stars=5000');
    const text = await refused.evaluate(() => document.getElementById('message').innerText);
    check(/cannot start: .*stars/.test(text), `a value out of range is refused (${JSON.stringify(text)})`);
    await refused.close();
  }

  // ---- A page whose program cannot load says why ----
  {
    fs.mkdirSync(path.join(served, 'no-wasm'));
    for (const f of ['index.html', 'index.js'])
      fs.copyFileSync(path.join(served, f), path.join(served, 'no-wasm', f));
    const page = await open('', 1024, 768, 1, 'no-wasm/index.html');
    const text = await page.evaluate(() => document.getElementById('message').innerText);
    check(/cannot start: .*index\.wasm/.test(text), `a missing index.wasm is said (${JSON.stringify(text)})`);
    await page.close();
  }

  // ---- The recorder's pixels, on the virtual clock ----
  // Every script at 1024 x 768, the keyboard's flight also at two other sizes.
  const runs = [...flights.map((f) => [path.basename(f), '1024x768']),
                ['keys.script', '1920x1080'], ['keys.script', '800x600']];
  for (const [script, size] of runs) {
    const out = fs.mkdtempSync(path.join(os.tmpdir(), 'ozmir-record-'));
    execFileSync(recorder, ['--screen', size, '--script', path.join(served, 'flights', script), '--out', out]);
    const [w, h] = size.split('x').map(Number);
    const page = await open(`?script=flights/${script}&screen=${size}`, w, h);
    await page.waitForFunction(() => ozmirPage.done, { timeout: 120000, polling: 200 });
    for (const png of fs.readdirSync(out).filter((f) => f.endsWith('.png')).sort()) {
      const expected = execFileSync('convert', [path.join(out, png), '-depth', '8', 'rgb:-'], { maxBuffer: 1 << 26 });
      const got = Buffer.from(await page.evaluate((n) => ozmirPage.shot(n), png), 'base64');
      let differ = 0, first = -1;
      for (let i = 0; i < expected.length; i += 3)
        if (expected[i] !== got[i] || expected[i + 1] !== got[i + 1] || expected[i + 2] !== got[i + 2]) {
          if (first < 0) first = i / 3;
          differ++;
        }
      if (differ > 0 || got.length !== expected.length)
        fs.writeFileSync(path.join(artefacts, `web-${size}-${png}.rgb`), got);
      check(got.length === expected.length && differ === 0,
            `${script} at ${size}: ${png} equals the recorder's` +
            (differ ? ` (${differ} pixels differ, first at ${first % w}, ${Math.floor(first / w)})` : ''));
    }
    check(page.errors.length === 0, `no console error (${page.errors.join('; ')})`);
    await page.close();
    fs.rmSync(out, { recursive: true });
  }
} catch (e) {
  console.log(`FAIL ${e.stack}`);
  failures++;
} finally {
  await browser.close();
  server.kill();
  fs.rmSync(served, { recursive: true });
}
console.log(failures ? `${failures} failed` : 'all passed');
process.exit(failures ? 1 : 0);
