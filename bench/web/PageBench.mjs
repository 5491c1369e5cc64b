// The frame-cost comparison inside the page at 1280 x 1024 in headless Chromium (software WebGL):
// prints the page's report, the same lines hack_bench prints.
//   node bench/web/PageBench.mjs build/web/quillara-bench.html [FRAMES]
import { launch } from '../../tests/web/Browser.mjs';

const browser = await launch(process.argv[2]);
const tab = await browser.open('', { width: 1280, height: 1024 });
await tab.run(`Module._BenchFrameCost(${process.argv[3] ?? 500})`);
console.log(tab.console.join('\n'));
await browser.close();
