// Shared by the browser tests and the first-frame benchmark: Debian's chromium headless, a
// static server for the site, and the game's stage as a player's fingers and mouse see it.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
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
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.txt': 'text/plain',
};

// Serves a folder on 127.0.0.1 at a free port, as any static host would: no compression.
export function serve(folder) {
  const root = path.resolve(folder);
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(root, name.endsWith('/') ? name + 'index.html' : name);
    if (!file.startsWith(root) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, {
      'Content-Length': fs.statSync(file).size,
      'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream',
      'Cache-Control': 'no-store',
    });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
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
