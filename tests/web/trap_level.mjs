// A small trap level made in the editor as a player makes one, with the mouse and the keys
// only: a new level, a gap with a hidden box over it, coins over hidden deadly ground with its
// message, a sign, a crawler, a checkpoint and the goal; then shared. Prints the link and its
// size and saves a picture of the editor. Not a test: a walk-through (README, "Editor").
// Usage: node trap_level.mjs SITE PICTURE.png
import { choose, clickCell, dragCells, launchBrowser, serve, sleep, tool as pick, urlOf } from './lib.mjs';

const [site, picture] = process.argv.slice(2);
const server = await serve(site);
const browser = await launchBrowser();
const page = await browser.newPage();
await page.setViewport({ width: 1280, height: 760 });
page.on('dialog', (dialog) => dialog.accept(dialog.type() === 'prompt' ? 'FREE COINS' : undefined));
await page.goto(urlOf(server) + 'editor.html');
await page.evaluate(() => window.brinkhopEditor.ready);

const drag = (from, to) => dragCells(page, from, to, 10);
const click = (c, r) => clickCell(page, c, r);
const brush = (note) => choose(page, note);
const tool = (name) => pick(page, name);

await page.click('#new');
await sleep(200);
// Zoomed out so the whole run fits.
for (let i = 0; i < 3; ++i) await page.click('#zoomOut');
await page.evaluate(() => window.brinkhopEditor.goTo(36, 10));

await brush('ground');
await tool('rect');
await drag([40, 12], [72, 15]);
// The gap, and the box hidden over it that a jump across bumps into.
await brush('empty, shown from the start: a text placed here shows at once');
await tool('rect');
await drag([20, 12], [22, 15]);
await brush('hidden coin box: only a jump from below finds it');
await click(21, 9);
// Coins as bait over deadly ground, which the message names.
await brush('coin');
await tool('rect');
await drag([30, 10], [34, 10]);
await brush('deadly ground, hidden: kills the player landing on it');
await tool('rect');
await drag([31, 12], [33, 12]);
await tool('message');
await page.select('#messageChoice', '57');
await drag([31, 11], [33, 11]);
await tool('text');
await click(28, 8);
await brush('crawler');
await click(48, 11);
await tool('checkpoint');
await click(40, 11);
await page.evaluate(() => window.brinkhopEditor.goTo(56, 10));
await tool('goal');
await drag([70, 8], [71, 11]);

for (let i = 0; i < 3; ++i) await page.click('#zoomOut');
await page.evaluate(() => window.brinkhopEditor.goTo(36, 14));
await sleep(600);
await page.screenshot({ path: picture });
const link = await page.evaluate(() => window.brinkhopEditor.shareLink());
console.log(link);
console.log(`${link.length} bytes; warnings: ${JSON.stringify(await page.evaluate(() => window.brinkhopEditor.warnings()))}`);
await browser.close();
server.close();
