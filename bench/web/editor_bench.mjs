// How fast the level editor keeps up: the milliseconds a frame of the view takes to draw while
// it scrolls (close up and zoomed out to the level's height, on the shipped level and on a
// full 4096-column level), and a painting stroke's pointer moves, each painting its cells
// and drawing the view, as the page handles them. Not a test: figures to compare with the
// display's 16.7 ms a frame. Usage: node bench/web/editor_bench.mjs SITE
import { launchBrowser, serve } from '../../tests/web/lib.mjs';

const site = process.argv[2] || 'build-web';
const server = await serve(site);
const browser = await launchBrowser();
const page = await browser.newPage();
await page.setViewport({ width: 1280, height: 800 });
await page.goto(`http://127.0.0.1:${server.address().port}/editor.html`);
await page.evaluate(() => window.brinkhopEditor.ready);

const median = (list) => list.sort((a, b) => a - b)[Math.floor(list.length / 2)];

// Each frame the view moves a few pixels on and is drawn whole.
async function scroll(zoom, span) {
  const times = await page.evaluate(
    (z, columns) => {
      const e = window.brinkhopEditor;
      const probe = document.getElementById('canvas').getContext('2d');
      e.setZoom(z);
      const out = [];
      for (let i = 0; i < 200; ++i) {
        e.goTo(20 + (i * columns) / 200, 32); // 1.5 columns a frame for 300: a brisk drag
        const begin = performance.now();
        e.redraw();
        probe.getImageData(0, 0, 1, 1); // waits for the drawing to be done, not just queued
        out.push(performance.now() - begin);
      }
      return out;
    },
    zoom,
    span,
  );
  const cells = await page.evaluate(() => window.brinkhopEditor.view().drawnCells);
  return `median ${median(times).toFixed(2)} ms a frame, ${cells} cells in view`;
}

// Pointer events as the browser delivers them, a move a cell on, each drawn.
async function stroke() {
  const times = await page.evaluate(() => {
    const e = window.brinkhopEditor;
    e.setZoom(1);
    e.goTo(100, 30);
    const canvas = document.getElementById('canvas');
    const box = canvas.getBoundingClientRect();
    const at = (i) => ({ clientX: box.left + 20 + i * 3, clientY: box.top + box.height / 2 + (i % 5), pointerId: 1, pointerType: 'mouse', bubbles: true, button: 0, buttons: 1 });
    canvas.dispatchEvent(new PointerEvent('pointerdown', at(0)));
    const out = [];
    for (let i = 1; i < 300; ++i) {
      const begin = performance.now();
      canvas.dispatchEvent(new PointerEvent('pointermove', at(i)));
      e.redraw();
      canvas.getContext('2d').getImageData(0, 0, 1, 1);
      out.push(performance.now() - begin);
    }
    canvas.dispatchEvent(new PointerEvent('pointerup', at(300)));
    return out;
  });
  return `median ${median(times).toFixed(2)} ms a pointer move, painted and drawn`;
}

console.log(`shipped level, scrolling close up: ${await scroll(1, 300)}`);
console.log(`shipped level, scrolling zoomed out: ${await scroll(0, 300)}`);
console.log(`shipped level, painting: ${await stroke()}`);

// Every column of the grid filled: ground, bricks, coins, units.
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
  window.brinkhopEditor.redraw(true);
});
console.log(`full level, scrolling close up: ${await scroll(1, 300)}`);
console.log(`full level, scrolling zoomed out: ${await scroll(0, 300)}`);
console.log(`full level, painting: ${await stroke()}`);
const history = await page.evaluate(() => window.brinkhopEditor.history());
console.log(`history after the strokes: ${history.steps} steps, ${history.bytes} bytes`);

await browser.close();
server.close();
