// Shared by the browser tests, the editor's walk-through and the benchmarks: Debian's chromium
// headless, a static server for the site, the tests' harness (one line a test, the exit code),
// and the game's stage and the editor's cells as a player's fingers and mouse see them.
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import puppeteer from 'puppeteer-core';

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// A phone on its side, as players hold it for the game, and a desktop window.
export const kPhone = { width: 844, height: 390, deviceScaleFactor: 2, isMobile: true, hasTouch: true, isLandscape: true };
export const kDesktop = { width: 1280, height: 800, deviceScaleFactor: 1 };

export function launchBrowser() {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: 'new',
    // A profile of its own each run: nothing cached from before.
    userDataDir: fs.mkdtempSync('/tmp/brinkhop-chromium-'),
    args: [
      '--no-sandbox',
      '--use-angle=swiftshader',
      '--enable-unsafe-swiftshader',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
      '--no-first-run',
    ],
  });
}

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript',
  '.mjs': 'text/javascript',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.txt': 'text/plain',
  '.json': 'application/json',
  '.webmanifest': 'application/manifest+json',
  '.png': 'image/png',
};
// What a static host compresses on the way: text and code, not pictures or packed levels.
const kCompressed = new Set(['.html', '.js', '.mjs', '.wasm', '.data', '.txt', '.json', '.webmanifest']);

// Every server still listening, for finish() to close.
const openServers = new Set();

// Serves a folder on 127.0.0.1 at a free port, as any static host would. Plain by default, so
// the tests can count the files' own bytes; { compress: true } gzips what a host would.
export function serve(folder, { compress = false, port = 0 } = {}) {
  const root = path.resolve(folder);
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(root, name.endsWith('/') ? name + 'index.html' : name);
    if (!file.startsWith(root) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      response.writeHead(404);
      response.end();
      return;
    }
    const extension = path.extname(file);
    const headers = {
      'Content-Type': kTypes[extension] || 'application/octet-stream',
      'Cache-Control': 'no-store',
    };
    let body = fs.readFileSync(file);
    if (compress && kCompressed.has(extension) && /gzip/.test(request.headers['accept-encoding'] || '')) {
      body = zlib.gzipSync(body, { level: 9 });
      headers['Content-Encoding'] = 'gzip';
    }
    headers['Content-Length'] = body.length;
    response.writeHead(200, headers);
    response.end(body);
  });
  openServers.add(server);
  server.on('close', () => openServers.delete(server));
  return new Promise((resolve) => server.listen(port, '127.0.0.1', () => resolve(server)));
}

export const urlOf = (server) => `http://127.0.0.1:${server.address().port}/`;

// A phone on a slow mobile network: 4x slower CPU, 1.6 Mbps down, 750 kbps up, 150 ms RTT.
export async function throttle(page) {
  const session = await page.createCDPSession();
  await session.send('Emulation.setCPUThrottlingRate', { rate: 4 });
  await session.send('Network.enable');
  await session.send('Network.emulateNetworkConditions', {
    offline: false,
    latency: 150,
    downloadThroughput: (1.6 * 1000 * 1000) / 8,
    uploadThroughput: (750 * 1000) / 8,
  });
  return session;
}

// The files a player may download: the site without the build's own folders and the replays.
export function siteFiles(folder) {
  const skip = new Set(['cmake', 'bench', 'replays']);
  const files = [];
  const walk = (dir, prefix) => {
    for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
      if (skip.has(entry.name) && !prefix) continue;
      const full = path.join(dir, entry.name);
      if (entry.isDirectory()) walk(full, prefix + entry.name + '/');
      else {
        const bytes = fs.readFileSync(full);
        files.push({ name: prefix + entry.name, raw: bytes.length, gzip: zlib.gzipSync(bytes, { level: 9 }).length });
      }
    }
  };
  walk(folder, '');
  return files.sort((a, b) => a.name.localeCompare(b.name));
}

// Landscape game points (480 x 320) as page points, through the letterbox.
export class Stage {
  constructor(page) {
    this.page = page;
    this.session = null;
  }

  async toPage(x, y) {
    const r = await this.page.evaluate(() => {
      const box = document.getElementById('stage').getBoundingClientRect();
      return { left: box.left, top: box.top, scale: box.width / 480 };
    });
    return { x: r.left + (x + 0.5) * r.scale, y: r.top + (y + 0.5) * r.scale };
  }

  // Every finger now on the glass, as {x, y, id}; fingers left out have lifted.
  async touch(fingers) {
    if (!this.session) this.session = await this.page.createCDPSession();
    const touchPoints = [];
    for (const [i, f] of fingers.entries()) {
      const p = await this.toPage(f.x, f.y);
      touchPoints.push({ x: p.x, y: p.y, id: f.id ?? i, radiusX: 4, radiusY: 4, force: 1 });
    }
    const type = this.down ? 'touchMove' : 'touchStart';
    this.down = true;
    await this.session.send('Input.dispatchTouchEvent', { type, touchPoints });
  }

  async release() {
    this.down = false;
    await this.session.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  }

  async click(x, y) {
    const p = await this.toPage(x, y);
    await this.page.mouse.click(p.x, p.y, { delay: 80 });
  }
}

// The level editor as the mouse sees it. The page point at the middle of a cell, as the editor
// draws it now.
export function cellPoint(page, column, row) {
  return page.evaluate(
    (c, r) => {
      const v = window.brinkhopEditor.view();
      const box = document.getElementById('canvas').getBoundingClientRect();
      return { x: box.left + ((c + 0.5) * 32 - v.x) * v.zoom, y: box.top + ((r + 0.5) * 32 - v.y) * v.zoom };
    },
    column,
    row,
  );
}

export async function clickCell(page, column, row) {
  const p = await cellPoint(page, column, row);
  await page.mouse.click(p.x, p.y);
}

export async function dragCells(page, from, to, steps = 8) {
  const a = await cellPoint(page, ...from);
  const b = await cellPoint(page, ...to);
  await page.mouse.move(a.x, a.y);
  await page.mouse.down();
  await page.mouse.move(b.x, b.y, { steps });
  await page.mouse.up();
}

// The palette's brush named `note`, and a tool.
export const choose = (page, note) => page.click(`#palette button[data-note="${note}"]`);
export const tool = (page, name) => page.click(`[data-tool="${name}"]`);

// The harness of a browser test: each test prints one line, "ok: NAME" or "FAIL: NAME: why",
// and the run goes on; finish() exits 1 when any failed. One run a process, hence the state here.
let failures = 0;
let browser = null;
let work = null;
let shotsDir = '';
// Every error the pages logged: a test file's last test asks that there be none.
export const pageErrors = [];

// The values of the command line that `usage` spells ("node FILE A B [C]"); without one of the
// words outside brackets, the usage and exit code 2.
export function commandLine(usage) {
  const needed = usage.split(' ').slice(2).filter((word) => !word.startsWith('[')).length;
  const values = process.argv.slice(2);
  if (!values[needed - 1]) {
    console.error(`usage: ${usage}`);
    process.exit(2);
  }
  return values;
}

// A scratch folder of the run's own (brinkhop-NAME-...) and the browser; screenshots go to
// `shots` when it is given.
export async function start(name, shots) {
  work = fs.mkdtempSync(path.join(os.tmpdir(), `brinkhop-${name}-`));
  shotsDir = shots || '';
  browser = await launchBrowser();
  return { work, browser };
}

export function check(condition, what) {
  if (!condition) throw new Error(what);
}

export async function test(name, body) {
  try {
    await body();
    console.log(`ok: ${name}`);
  } catch (error) {
    failures++;
    console.log(`FAIL: ${name}: ${error.message}`);
  }
}

// Closes the browser and the servers, removes the scratch folder and exits; `summary` prints a
// last line with the count of failures.
export async function finish({ summary = false } = {}) {
  await browser.close();
  for (const server of openServers) server.close();
  fs.rmSync(work, { recursive: true, force: true });
  if (summary) console.log(failures ? `${failures} failed` : 'all passed');
  process.exit(failures ? 1 : 0);
}

// Keeps every error `page` logs, under `label`.
export function recordErrors(page, label) {
  page.on('console', (message) => {
    if (message.type() === 'error') pageErrors.push(`${label}: ${message.text()}`);
  });
  page.on('pageerror', (error) => pageErrors.push(`${label}: ${error.message}`));
}

// A new page of `owner` (the browser, or a context of it) at `viewport`, its errors kept.
export async function newPage(label, viewport, owner = browser) {
  const page = await owner.newPage();
  recordErrors(page, label);
  await page.setViewport(viewport);
  return page;
}

export async function waitForFrames(page, count, timeout = 20000, polling = 50) {
  await page.waitForFunction((n) => window.brinkhop.frame() >= n, { timeout, polling }, count);
}

export const trace = (page) => page.evaluate(() => window.brinkhop.trace());

export async function shot(page, name) {
  if (shotsDir) await page.screenshot({ path: path.join(shotsDir, name) });
}
