// The page in headless Chromium with software WebGL, driven over the DevTools protocol on a pipe,
// for the page's tests and its benchmark.  Animation frames are the driver's own: drive_ calls the
// page's frame callbacks at the times it is given, so 60 and 144 Hz, a long pause and a hidden page
// take no real time.
import { spawn, execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

// Installed before the page's own script: frames, visibility and, when asked, no WebGL.
const Harness = `window.frames_ = []; window.now_ = 0; window.hidden_ = false;
  window.requestAnimationFrame = (callback) => frames_.push(callback);
  window.drive_ = (count, ms) => { for (let i = 0; i < count; ++i) { now_ += ms; frames_.splice(0).forEach((f) => f(now_)); } };
  Object.defineProperty(document, 'hidden', { get: () => hidden_ });
  Object.defineProperty(document, 'visibilityState', { get: () => (hidden_ ? 'hidden' : 'visible') });
  window.hide_ = (hidden) => { hidden_ = hidden; document.dispatchEvent(new Event('visibilitychange')); };`;

// Starts the browser, and a server of the page on loopback; open() gives a tab on the page.
export async function launch(page) {
  const pagePath = resolve(page), profile = mkdtempSync(join(tmpdir(), 'quillara-chromium-'));
  const browser = spawn('/usr/bin/chromium', ['--headless', '--no-sandbox', '--remote-debugging-pipe',
    '--disable-gpu', '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--no-first-run', '--disable-quic', `--user-data-dir=${profile}`, 'about:blank'],
    { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
  const server = createServer((_, response) => response.end(readFileSync(pagePath))).listen(0, '127.0.0.1');
  await new Promise((done) => server.on('listening', done));

  // Commands go out on descriptor 3; answers and events come back on 4, each JSON ended by a NUL.
  let lastId = 0, unread = '';
  const answers = new Map(), listeners = [];
  browser.stdio[4].on('data', (chunk) => {
    const parts = (unread + chunk).split('\0');
    unread = parts.pop();
    for (const m of parts.map((text) => JSON.parse(text))) {
      if (answers.has(m.id)) answers.get(m.id)(m);
      else listeners.forEach((listen) => listen(m));
    }
  });
  const send = (method, params = {}, sessionId) => {
    browser.stdio[3].write(JSON.stringify({ id: ++lastId, method, params, sessionId }) + '\0');
    return new Promise((done, fail) => answers.set(lastId, (m) => (m.error ? fail(new Error(`${method}: ${m.error.message}`)) : done(m.result))));
  };

  // A fresh tab of width x height CSS pixels at `ratio` device pixels each, on the page with `query`.
  async function open(query, { width = 600, height = 480, ratio = 1, overHttp = false, webgl = true } = {}) {
    const { targetId } = await send('Target.createTarget', { url: 'about:blank' });
    const { sessionId } = await send('Target.attachToTarget', { targetId, flatten: true });
    const tab = { console: [], requests: [], send: (method, params) => send(method, params, sessionId) };
    listeners.push((m) => {
      if (m.sessionId !== sessionId) return;
      if (m.method === 'Runtime.consoleAPICalled') tab.console.push(m.params.args.map((a) => a.value).join(' '));
      if (m.method === 'Network.requestWillBeSent') tab.requests.push(m.params.request.url);
    });
    for (const method of ['Page.enable', 'Runtime.enable', 'Network.enable']) await tab.send(method);
    await tab.send('Page.addScriptToEvaluateOnNewDocument', { source: Harness + (webgl ? '' : 'HTMLCanvasElement.prototype.getContext = () => null;') });
    await tab.send('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor: ratio, mobile: false });
    tab.url = (overHttp ? `http://127.0.0.1:${server.address().port}/` : pathToFileURL(pagePath).href) + query;
    await tab.send('Page.navigate', { url: tab.url });
    tab.run = async (expression) => (await tab.send('Runtime.evaluate', { expression, awaitPromise: true, returnByValue: true })).result.value;
    await tab.run('new Promise((started) => { const poll = () => (window.Module && Module.calledRun ? started() : setTimeout(poll, 10)); poll(); })');
    tab.key = (key) => tab.send('Input.dispatchKeyEvent', { type: 'keyDown', key, text: key });
    // The screen as the user sees it: the background at a corner, the white pixels of the stars
    // (drawn last, never covered) with their bounds, and the pure red, green or blue ones of balls.
    tab.picture = async () => {
      const { data } = await tab.send('Page.captureScreenshot', { format: 'png' });
      const rgb = execFileSync('convert', ['png:-', 'rgb:-'], { input: Buffer.from(data, 'base64'), maxBuffer: 1 << 26 });
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

  const close = async () => {
    await Promise.all([new Promise((done) => browser.on('exit', done)), send('Browser.close')]);
    server.close();
    rmSync(profile, { recursive: true, force: true });
  };
  return { open, close };
}
