// The site's bytes per file (raw and gzipped) and its start screen on a phone on a slow mobile
// network: navigation to `brinkhop.ready` with 4x CPU throttling, 1.6 Mbps / 150 ms RTT, served
// compressed as a static host serves it, nothing cached. Beside it the minimal page, same run.
// Usage: node bench/web/throttled.mjs SITE [ROUNDS]
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const { launchBrowser, serve, siteFiles, throttle } = await import(path.join(here, '../../tests/web/lib.mjs'));

const site = process.argv[2];
const rounds = Number(process.argv[3] || 3);

let raw = 0;
let gzip = 0;
for (const f of siteFiles(site)) {
  raw += f.raw;
  gzip += f.gzip;
  console.log(`${f.name.padEnd(28)} ${String(f.raw).padStart(9)} raw ${String(f.gzip).padStart(9)} gzip`);
}
console.log(`${'all'.padEnd(28)} ${String(raw).padStart(9)} raw ${String(gzip).padStart(9)} gzip (budget 700000 / 300000)`);

const server = await serve(site, { compress: true });
const base = `http://127.0.0.1:${server.address().port}/`;
const browser = await launchBrowser();

async function load(url) {
  const page = await browser.newPage();
  await page.setCacheEnabled(false);
  await throttle(page);
  let transferred = 0;
  const asked = [];
  page.on('response', (response) => {
    transferred += Number(response.headers()['content-length'] || 0);
    asked.push(response.url().replace(/^.*\//, ''));
  });
  await page.goto(url, { waitUntil: 'domcontentloaded', timeout: 120000 });
  const ms = await page.evaluate(() => window.brinkhop.ready.then(() => performance.now()), { timeout: 120000 });
  await page.close();
  if (process.env.BRINKHOP_BENCH_FILES) console.log(`  ${asked.join(' ')}`);
  return { ms, transferred };
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
await load(base + 'bench/minimal.html');
const game = [];
const minimal = [];
let transferred = 0;
for (let i = 0; i < rounds; i++) {
  minimal.push((await load(base + 'bench/minimal.html')).ms);
  const g = await load(base);
  game.push(g.ms);
  transferred = g.transferred;
}
console.log(`throttled start screen, median of ${rounds}: game ${median(game).toFixed(0)} ms ` +
            `(${transferred} bytes on the wire), minimal page ${median(minimal).toFixed(0)} ms (aim: game within 3000)`);
console.log(`  game: ${game.map((v) => v.toFixed(0)).join(' ')}; minimal: ${minimal.map((v) => v.toFixed(0)).join(' ')}`);
await browser.close();
server.close();
