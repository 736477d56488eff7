// How fast the level editor keeps up: frames drawn a second while the view scrolls (at two
// zooms, on the shipped level and on a full 4096-column level), and pointer moves a second a
// painting stroke takes, each move painting and drawing. Not a test: figures to compare.
// Usage: node bench/web/editor_bench.mjs SITE
import { launchBrowser, serve } from '../../tests/web/lib.mjs';

const site = process.argv[2] || 'build-web';
const server = await serve(site);
const browser = await launchBrowser();
const page = await browser.newPage();
await page.setViewport({ width: 1280, height: 800 });
await page.goto(`http://127.0.0.1:${server.address().port}/editor.html`);
await page.evaluate(() => window.brinkhopEditor.ready);

// Frames a second while the view moves a little every animation frame.
async function scrollRate(zoom, columns) {
  return page.evaluate(
    async (z, span) => {
      const e = window.brinkhopEditor;
      const frames = 120;
      const start = performance.now();
      for (let i = 0; i < frames; ++i) {
        e.setZoom(z);
        e.goTo(20 + (i * span) / frames, 32);
        await new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r)));
      }
      const seconds = (performance.now() - start) / 1000;
      return { fps: (frames * 2) / seconds, drawn: e.view().drawnCells };
    },
    zoom,
    columns,
  );
}

async function strokeRate() {
  const box = await page.$eval('#canvas', (c) => {
    const r = c.getBoundingClientRect();
    return { x: r.left, y: r.top, w: r.width, h: r.height };
  });
  const moves = 300;
  await page.mouse.move(box.x + 20, box.y + box.h / 2);
  const start = Date.now();
  await page.mouse.down();
  for (let i = 0; i < moves; ++i) await page.mouse.move(box.x + 20 + ((box.w - 40) * i) / moves, box.y + box.h / 2 + (i % 7));
  await page.mouse.up();
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(r)));
  return moves / ((Date.now() - start) / 1000);
}

for (const [name, z] of [['close (1x)', 1], ['the whole height', 0]]) {
  const r = await scrollRate(z, 300);
  console.log(`shipped level, scrolling, ${name}: ${r.fps.toFixed(1)} frames/s, ${r.drawn} cells drawn a frame`);
}
console.log(`shipped level, painting: ${(await strokeRate()).toFixed(0)} pointer moves/s`);

// Every column of the grid filled: ground, bricks, coins and units.
await page.evaluate(() => {
  const level = window.brinkhopEditor.level();
  for (let c = 0; c < 4096; ++c)
    for (let r = 20; r < 64; ++r) {
      const i = c * 64 + r;
      level.layers[0][i] = r > 40 ? 1 : 0;
      level.layers[1][i] = r % 5 === 0 ? 1 : 0;
      level.layers[2][i] = r % 3 === 0 && r <= 40 ? 1 : 0;
      level.layers[3][i] = (c + r) % 11 === 0 ? 1 : 0;
      level.layers[6][i] = 1;
    }
});
for (const [name, z] of [['close (1x)', 1], ['the whole height', 0]]) {
  const r = await scrollRate(z, 3900);
  console.log(`full 4096-column level, scrolling, ${name}: ${r.fps.toFixed(1)} frames/s, ${r.drawn} cells drawn a frame`);
}
console.log(`full level, painting: ${(await strokeRate()).toFixed(0)} pointer moves/s`);

await browser.close();
server.close();
