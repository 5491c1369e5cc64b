// The page in headless Chromium with software WebGL, driven by playwright-core (tests/web/run.sh
// installs it into build/web-driver), for the page's tests and its benchmark.  Animation frames
// are the driver's own: drive_ calls the page's frame callbacks at the times it is given, so 60
// and 144 Hz, a long pause and a hidden page take no real time.
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const { chromium } = createRequire(new URL('../../build/web-driver/', import.meta.url))('playwright-core');

// Installed before the page's own script: frames, visibility and, when asked, no WebGL.
const Harness = `window.frames_ = []; window.now_ = 0; window.hidden_ = false;
  window.requestAnimationFrame = (callback) => frames_.push(callback);
  window.drive_ = (count, ms) => { for (let i = 0; i < count; ++i) { now_ += ms; frames_.splice(0).forEach((f) => f(now_)); } };
  Object.defineProperty(document, 'hidden', { get: () => hidden_ });
  Object.defineProperty(document, 'visibilityState', { get: () => (hidden_ ? 'hidden' : 'visible') });
  window.hide_ = (hidden) => { hidden_ = hidden; document.dispatchEvent(new Event('visibilitychange')); };`;

// Starts the browser, and a server of the page on loopback; open() gives a tab on the page.
export async function launch(page) {
  const pagePath = resolve(page);
  const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox', '--disable-gpu'] });
  const server = createServer((_, response) => response.end(readFileSync(pagePath))).listen(0, '127.0.0.1');
  await new Promise((done) => server.on('listening', done));

  // A fresh tab of width x height CSS pixels at `ratio` device pixels each, on the page with `query`.
  async function open(query, { width = 600, height = 480, ratio = 1, overHttp = false, webgl = true } = {}) {
    const context = await browser.newContext({ viewport: { width, height }, deviceScaleFactor: ratio });
    await context.addInitScript(Harness + (webgl ? '' : 'HTMLCanvasElement.prototype.getContext = () => null;'));
    const page = await context.newPage();
    const tab = { console: [], requests: [], run: (expression) => page.evaluate(expression), key: (key) => page.keyboard.press(key) };
    page.on('console', (message) => tab.console.push(message.text()));
    page.on('request', (request) => tab.requests.push(request.url()));
    tab.url = (overHttp ? `http://127.0.0.1:${server.address().port}/` : pathToFileURL(pagePath).href) + query;
    await page.goto(tab.url);
    await page.waitForFunction(() => window.Module && Module.calledRun, null, { polling: 10 });
    // The screen as the user sees it: the background at a corner, the white pixels of the stars
    // (drawn last, never covered) with their bounds, and the pure red, green or blue ones of balls.
    tab.picture = async () => {
      const rgb = execFileSync('convert', ['png:-', 'rgb:-'], { input: await page.screenshot(), maxBuffer: 1 << 26 });
      const w = width * ratio, seen = { corner: [...rgb.subarray(0, 3)].join(), white: 0, coloured: 0, box: [w, 1e9, -1, -1] };
      for (let i = 0; i < rgb.length; i += 3) {
        const [r, g, b] = rgb.subarray(i, i + 3), x = (i / 3) % w, y = Math.floor(i / 3 / w);
        if (r + g + b === 255 && [r, g, b].includes(255)) ++seen.coloured;
        if (r + g + b < 765) continue;
        ++seen.white;
        seen.box = [Math.min(seen.box[0], x), Math.min(seen.box[1], y), Math.max(seen.box[2], x), Math.max(seen.box[3], y)];
      }
      return seen;
    };
    return tab;
  }

  return { open, close: () => browser.close().then(() => server.close()) };
}
