// The page's tests in a real browser: the picture at two window shapes, the address's settings
// and the command keys, 100 steps a second at any frame rate, nothing while hidden, no WebGL.
//   node tests/web/PageTest.mjs build/web/quillara.html
import { launch } from './Browser.mjs';

const browser = await launch(process.argv[2]);
const check = (name, ok, detail) => {  // a failure sets the exit code
  console.log(ok ? `ok    ${name}` : `FAIL  ${name}: ${detail}`);
  if (!ok) process.exitCode = 1;
};
const Hz60 = 1000 / 60, Steps = 'Module._QuillaraStepsMade()';

// One star, so its bounds are its disc: round, and as large as the fitted world makes it.
for (const shape of [{ width: 1280, height: 720 }, { width: 400, height: 600, ratio: 2, overHttp: true }]) {
  const tab = await browser.open('?min-stars=1&max-stars=1&min-balls=12&max-balls=12', shape);
  await tab.run(`drive_(30, ${Hz60})`);
  const seen = await tab.picture(), [x0, y0, x1, y1] = seen.box, ratio = shape.ratio ?? 1;
  const diameter = 30 * Math.min(shape.width / 600, shape.height / 480) * ratio;
  const name = `${shape.width} x ${shape.height} at ${ratio}${shape.overHttp ? ' over http' : ''}`;
  check(`${name}: grey background`, seen.corner === '51,51,51', seen.corner);
  check(`${name}: a round white star ${diameter} pixels across`,
    Math.abs(x1 - x0 + 1 - diameter) <= 2 && Math.abs(y1 - y0 + 1 - diameter) <= 2, seen.box);
  check(`${name}: coloured balls`, seen.coloured > 100, seen.coloured);
  check(`${name}: canvas at device pixels`, await tab.run('canvas.width === innerWidth * devicePixelRatio'), '');
  check(`${name}: nothing fetched`, tab.requests.every((url) => url === tab.url || url.startsWith('data:')), tab.requests);
}

// The address's star range, clamped and ordered, then command keys: stars counted by their area
// (a 15-cornered disc of radius 15 is 686 pixels here).  A bad value is named once and ignored.
for (const [query, keys, complaints] of [['min-stars=0&max-stars=40', { n: 1, x: 12 }, 0],
  ['max-stars=3&min-stars=9&gravity=strong', { N: 3, z: 9 }, 1]]) {
  const tab = await browser.open(`?${query}`);
  for (const [key, stars] of Object.entries(keys)) {
    await tab.key(key);
    await tab.run(`drive_(5, ${Hz60})`);
    const white = (await tab.picture()).white;
    check(`${query}, key ${key}: ${stars} stars`, Math.round(white / 686.4) === stars, `${white} white pixels`);
  }
  check(`${query}: bad values named once, nothing else said`, tab.console.length === complaints && tab.console.every((line) => line.includes('gravity=strong')), tab.console);
}

// 100 steps a second at 60 and 144 Hz; after a pause at most a tenth of a second is made up;
// hidden, no step, and shown again, the time away is not made up.
const tab = await browser.open('?fps');
for (const [what, drive, lowest, highest] of [['60 Hz for 5 s', `drive_(300, ${Hz60})`, 490, 510],
  ['144 Hz for 5 s', 'drive_(720, 1000 / 144)', 490, 510], ['a frame after 10 s', 'drive_(1, 10000)', 0, 10],
  ['hidden for 5 s', `hide_(true), drive_(300, ${Hz60})`, 0, 0],
  ['shown again, 1 s', `hide_(false), drive_(60, ${Hz60})`, 95, 100]]) {
  const steps = await tab.run(`(() => { const before = ${Steps}; ${drive}; return ${Steps} - before; })()`);
  check(`${what}: ${lowest} to ${highest} steps`, steps >= lowest && steps <= highest, steps);
}
await tab.run(`drive_(130, ${Hz60})`);
const rate = await tab.run('rate.textContent'), [fps, perSecond] = rate.match(/[\d.]+/g).map(Number);
check('fps: the rate shown', Math.abs(fps - 60) < 1 && Math.abs(perSecond - 100) <= 2, rate);

const blind = await browser.open('', { webgl: false });
check('without WebGL the page says so', await blind.run("!notice.hidden && notice.textContent.includes('needs WebGL') && canvas.hidden"), '');

await browser.close();
