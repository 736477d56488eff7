// Shared by the browser tests and the first-frame benchmark: Debian's chromium headless, a
// static server for the site, and the game's stage as a player's fingers and mouse see it.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import zlib from 'node:zlib';
import puppeteer from 'puppeteer-core';

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

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
  return new Promise((resolve) => server.listen(port, '127.0.0.1', () => resolve(server)));
}

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
