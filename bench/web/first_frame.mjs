// The page's download size and its first frame on screen, measured from navigation, beside the
// minimal page the same toolchain makes (bench/web/minimal.*), in one headless Chromium run.
// Each page loads several times, alternating, each time in a fresh tab with nothing cached.
// Usage: node bench/web/first_frame.mjs SITE [ROUNDS]
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const { launchBrowser, serve } = await import(path.join(here, '../../tests/web/lib.mjs'));

const site = process.argv[2];
const rounds = Number(process.argv[3] || 5);
const server = await serve(site);
const base = `http://127.0.0.1:${server.address().port}/`;
const browser = await launchBrowser();

async function load(url) {
  const page = await browser.newPage();
  await page.setCacheEnabled(false);
  let bytes = 0;
  // As served, uncompressed: the server sends every file's length.
  page.on('response', (response) => {
    bytes += Number(response.headers()['content-length'] || 0);
  });
  await page.goto(url);
  // ready resolves in the animation frame after the first picture: the time is taken there.
  const ms = await page.evaluate(() => window.brinkhop.ready.then(() => performance.now()));
  await page.close();
  return { ms, bytes };
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const game = [];
const minimal = [];
let gameBytes = 0;
await load(base + 'bench/minimal.html'); // the GPU process starts for neither measured page
for (let i = 0; i < rounds; i++) {
  minimal.push((await load(base + 'bench/minimal.html')).ms);
  const g = await load(base);
  game.push(g.ms);
  gameBytes = g.bytes;
}
const g = median(game);
const m = median(minimal);
console.log(`download: ${gameBytes} bytes (budget 1500000)`);
console.log(`first frame, median of ${rounds}: game ${g.toFixed(0)} ms, minimal page ${m.toFixed(0)} ms, ` +
            `ratio ${(g / m).toFixed(2)} (aim: at most 1.5)`);
console.log(`  game: ${game.map((v) => v.toFixed(0)).join(' ')}; minimal: ${minimal.map((v) => v.toFixed(0)).join(' ')}`);

// The pace of play: frames counted over three seconds after Enter starts the game.
const page = await browser.newPage();
await page.goto(base);
await page.evaluate(() => window.brinkhop.ready);
await page.keyboard.press('Enter');
await page.waitForFunction(() => window.brinkhop.frame() > 0);
const first = await page.evaluate(() => [window.brinkhop.frame(), performance.now()]);
await new Promise((resolve) => setTimeout(resolve, 3000));
const last = await page.evaluate(() => [window.brinkhop.frame(), performance.now()]);
console.log(`play: ${((1000 * (last[0] - first[0])) / (last[1] - first[1])).toFixed(1)} frames a second (the game's rate: 30)`);
await browser.close();
server.close();
