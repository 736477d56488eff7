// The level editor in a real headless Chromium, through the mouse, the keys and fingers: paint,
// undo and redo; a rectangle; a unit, a text and a checkpoint placed; a message drawn again and
// removed; a pipe's level and start picked from lists; the sky; a ledge painted and played
// on, Esc back; the shipped level saved byte for byte as the level tool dumps it; a level shared
// as a link and played from it in a fresh page, then edited as a copy; a broken link; a file that
// is no level refused; the level kept over a reload; touch painting, zooming and picking.
// Usage: node editor_test.mjs SITE LEVEL-TOOL SHIPPED-LEVEL [SHOTS-DIR]
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import {
  cellPoint, check, choose, clickCell, commandLine, dragCells, finish, kDesktop, newPage, pageErrors, serve, shot,
  sleep, start, test, tool, urlOf,
} from './lib.mjs';

const [site, levelTool, shippedLevel, shotsDir] =
  commandLine('node editor_test.mjs SITE LEVEL-TOOL SHIPPED-LEVEL [SHOTS-DIR]');

const kUprightPhone = { width: 390, height: 844, deviceScaleFactor: 2, isMobile: true, hasTouch: true };
// A small level: ground on row 40 from column 0 to 59, the start at column 3.
const kSmallLevel = [
  'size 4096 64',
  '[map 0]',
  '40 ' + '#'.repeat(60),
  '[links 0]',
  '39 ...0',
  '[triggers]',
  '0 start',
  '',
].join('\n');

const { work, browser } = await start('editor', shotsDir);
const base = urlOf(await serve(site));

async function openEditor(context, viewport = kDesktop, query = '') {
  const page = await newPage('editor', viewport, context);
  await page.goto(base + 'editor.html' + query);
  await page.evaluate(() => window.brinkhopEditor.ready);
  return page;
}

const cell = (page, layer, column, row) =>
  page.evaluate((k, c, r) => window.brinkhopEditor.level().layers[k][c * 64 + r], layer, column, row);
const kGround = 0;
const kBlock = 2;
const kUnit = 3;
const kTrigger = 4;
const kLabel = 5;


const context = await browser.createBrowserContext();
const editor = await openEditor(context);
await editor.evaluate((text) => window.brinkhopEditor.load(text), kSmallLevel);
await editor.evaluate(() => window.brinkhopEditor.goTo(20, 36));

await test('a painted block is undone and redone', async () => {
  await choose(editor, 'brick');
  await clickCell(editor, 20, 35);
  check((await cell(editor, kBlock, 20, 35)) === 1, 'the click painted no brick');
  await editor.keyboard.down('Control');
  await editor.keyboard.press('KeyZ');
  check((await cell(editor, kBlock, 20, 35)) === 0, 'Ctrl+Z left the brick');
  await editor.keyboard.press('KeyY');
  await editor.keyboard.up('Control');
  check((await cell(editor, kBlock, 20, 35)) === 1, 'Ctrl+Y did not bring the brick back');
  await editor.click('#undo');
  check((await cell(editor, kBlock, 20, 35)) === 0, 'the undo button left the brick');
});

await test('a rectangle is filled', async () => {
  await choose(editor, 'stone');
  await tool(editor, 'rect');
  await dragCells(editor, [10, 30], [14, 32]);
  for (let c = 10; c <= 14; ++c)
    for (let r = 30; r <= 32; ++r) check((await cell(editor, kBlock, c, r)) === 14, `no stone at ${c}, ${r}`);
  check((await cell(editor, kBlock, 15, 32)) === 0, 'stone past the rectangle');
});

await test('a unit, a text and a checkpoint are placed', async () => {
  await choose(editor, 'crawler');
  await clickCell(editor, 25, 39);
  check((await cell(editor, kUnit, 25, 39)) === 1, 'no crawler');
  await tool(editor, 'text');
  editor.once('dialog', (dialog) => dialog.accept('mind the gap'));
  await clickCell(editor, 22, 37);
  check((await cell(editor, kLabel, 22, 37)) >= 0, 'no text placed');
  await tool(editor, 'checkpoint');
  await clickCell(editor, 30, 39);
  const text = await editor.evaluate(() => window.brinkhopEditor.text());
  check(text.includes('"MIND THE GAP"'), 'the text is not in the source');
  check(/\[checkpoints\]\nat=30,39\n/.test(text), 'the checkpoint is not in the source');
  const lists = await editor.$eval('#lists', (e) => e.textContent);
  check(lists.includes('checkpoint 30, 39') && lists.includes('MIND THE GAP'), `the lists show ${lists}`);
});

// A button on the line of the level's lists that names `label`.
async function listButton(page, label, title) {
  for (const line of await page.$$('#lists div.item'))
    if ((await line.evaluate((e) => e.textContent)).includes(label)) return line.$(`button[title^="${title}"]`);
  throw new Error(`no "${label}" in the lists`);
}
const undo = async (page) => {
  await page.keyboard.down('Control');
  await page.keyboard.press('KeyZ');
  await page.keyboard.up('Control');
};

await test('a message is drawn again elsewhere and removed with ×, each undone', async () => {
  await tool(editor, 'message');
  const index = Number(await editor.$eval('#messageChoice', (s) => s.value));
  await dragCells(editor, [26, 36], [27, 37]);
  check((await cell(editor, kTrigger, 27, 37)) === index, 'no message area drawn');
  await (await listButton(editor, `trigger ${index}:`, 'Edit')).click();
  await dragCells(editor, [16, 36], [17, 37]);
  check((await cell(editor, kTrigger, 16, 36)) === index, 'the message was not drawn again');
  check((await cell(editor, kTrigger, 27, 37)) === -1, 'the old area still shows the message');
  const lists = await editor.$eval('#lists', (e) => e.textContent);
  check(lists.includes(`trigger ${index}: `) && lists.includes('16,36–17,37'), `the lists show ${lists}`);
  await (await listButton(editor, `trigger ${index}:`, 'Remove')).click();
  check((await cell(editor, kTrigger, 16, 36)) === -1, '× left the message area');
  check(!(await editor.$eval('#lists', (e) => e.textContent)).includes(`trigger ${index}:`), '× left the message in the lists');
  await undo(editor);
  check((await cell(editor, kTrigger, 16, 36)) === index && (await cell(editor, kTrigger, 27, 37)) === -1, 'undo did not bring the message back');
  await undo(editor);
  check((await cell(editor, kTrigger, 27, 37)) === index && (await cell(editor, kTrigger, 16, 36)) === -1, 'undo did not put the first area back');
});

await test('a pipe warp takes its level and start from the lists of the game\'s levels', async () => {
  let asked = false;
  const ask = (dialog) => ((asked = true), dialog.dismiss());
  editor.on('dialog', ask);
  await tool(editor, 'warp');
  const levels = await editor.$$eval('#warpLevel option', (o) => o.map((e) => e.value));
  check(levels.includes('bonus') && levels.includes('level'), `the levels offered: ${levels}`);
  await editor.select('#warpLevel', 'level');
  await editor.select('#warpLevel', 'bonus');
  await editor.waitForFunction(() => document.getElementById('warpStart').dataset.ready === 'bonus', { timeout: 10000 });
  const startsOffered = await editor.$$eval('#warpStart option', (o) => o.map((e) => e.textContent));
  check(startsOffered.length === 1 && /^start 0: column \d+, row \d+$/.test(startsOffered[0]), `the starts offered: ${startsOffered}`);
  await clickCell(editor, 35, 39);
  editor.off('dialog', ask);
  check(!asked, 'the pipe asked in a prompt');
  const warps = await editor.evaluate(() => window.brinkhopEditor.level().lists.warps);
  check(warps.some((w) => w.x === 35 * 32 && w.y === 39 * 32 && w.fileName === 'bonus' && w.startIndex === 0), `the warps: ${JSON.stringify(warps)}`);
  check((await editor.evaluate(() => window.brinkhopEditor.text())).includes('file="bonus"'), 'the pipe is not in the source');
});

await test('the sky behind the level deepens upwards, as play draws it', async () => {
  await editor.evaluate(() => window.brinkhopEditor.goTo(50, 16));
  const colour = async (column, row) => {
    const p = await cellPoint(editor, column, row);
    return editor.evaluate(
      (x, y) => {
        window.brinkhopEditor.redraw();
        const canvas = document.getElementById('canvas');
        const box = canvas.getBoundingClientRect();
        const k = canvas.width / box.width;
        return [...canvas.getContext('2d').getImageData(Math.round((x - box.left) * k), Math.round((y - box.top) * k), 1, 1).data];
      },
      p.x,
      p.y,
    );
  };
  const high = await colour(50, 6);
  const low = await colour(50, 26);
  const light = (c) => c[0] + c[1] + c[2];
  check(light(high) + 30 < light(low), `the sky is ${high} high up and ${low} lower`);
  await shot(editor, 'editor-sky.png');
});

await test('a painted ledge is played on, and Esc comes back to the same view', async () => {
  await tool(editor, 'paint');
  await choose(editor, 'ground');
  await editor.evaluate(() => window.brinkhopEditor.goTo(45, 33));
  await dragCells(editor, [40, 34], [50, 34]);
  for (let c = 40; c <= 50; ++c) check((await cell(editor, kGround, c, 34)) === 1, `no ground at ${c}, 34`);
  const viewBefore = await editor.evaluate(() => window.brinkhopEditor.view());
  await shot(editor, 'editor-desktop.png');
  await editor.keyboard.down('Shift');
  await editor.keyboard.press('KeyP');
  await editor.keyboard.up('Shift');
  await editor.waitForFunction(() => window.brinkhopEditor.game() && window.brinkhopEditor.game().brinkhop, { timeout: 20000 });
  await editor.waitForFunction(() => window.brinkhopEditor.game().brinkhop.frame() > 90, { timeout: 30000, polling: 100 });
  const t = await editor.evaluate(() => window.brinkhopEditor.game().brinkhop.trace());
  check(t.onGround && !t.dying, `the player does not stand: ${JSON.stringify(t)}`);
  check(Math.abs(t.y + t.h - 34 * 32) <= 1, `the player stands at y ${t.y} (height ${t.h}), not on row 34`);
  check(t.x >= 40 * 32 - 32 && t.x <= 51 * 32, `the player is at x ${t.x}, off the ledge`);
  await shot(editor, 'editor-play.png');
  const frame = await editor.$('#play iframe');
  await (await frame.contentFrame()).focus('canvas');
  await editor.keyboard.press('Escape');
  await editor.waitForFunction(() => !document.body.classList.contains('playing'), { timeout: 5000 });
  const viewAfter = await editor.evaluate(() => window.brinkhopEditor.view());
  check(JSON.stringify(viewAfter) === JSON.stringify(viewBefore), 'the view moved while playing');
  check((await cell(editor, kGround, 45, 34)) === 1, 'the ledge is gone after playing');
});

await test('the level is kept over a reload', async () => {
  const before = await editor.evaluate(() => window.brinkhopEditor.text());
  await sleep(1500);
  await editor.reload();
  await editor.evaluate(() => window.brinkhopEditor.ready);
  const after = await editor.evaluate(() => window.brinkhopEditor.text());
  check(after === before, 'the reloaded editor holds another level');
});

await test('a file that is no level is refused with the compiler\'s first error, the level kept', async () => {
  const before = await editor.evaluate(() => window.brinkhopEditor.text());
  const bad = path.join(work, 'notes.txt');
  fs.writeFileSync(bad, 'size 4096 64\n[map 0]\n40 ##\n[nonsense]\n');
  const [chooser] = await Promise.all([editor.waitForFileChooser(), editor.click('#open')]);
  await chooser.accept([bad]);
  await editor.waitForFunction(() => /is not a level/.test(document.getElementById('status').textContent), { timeout: 5000 });
  const status = await editor.$eval('#status', (e) => e.textContent);
  check(/notes:\d+:\d+: /.test(status), `the refusal names no line: ${status}`);
  check((await editor.evaluate(() => window.brinkhopEditor.text())) === before, 'the level changed');
});

let link = '';
let sharedText = '';
await test('a shared link plays the same level in a fresh page, and Edit a copy edits it', async () => {
  link = await editor.evaluate(() => window.brinkhopEditor.shareLink());
  sharedText = await editor.evaluate(() => window.brinkhopEditor.text());
  check(link.includes('index.html#level='), `the link is ${link}`);
  const fresh = await browser.createBrowserContext();
  const page = await fresh.newPage();
  page.on('pageerror', (error) => pageErrors.push(`shared: ${error.message}`));
  await page.setViewport({ width: 960, height: 640 });
  await page.goto(link);
  await page.evaluate(() => window.brinkhop.ready);
  await page.waitForSelector('#editCopy', { timeout: 20000 });
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => window.brinkhop.frame() > 60, { timeout: 30000, polling: 100 });
  const t = await page.evaluate(() => window.brinkhop.trace());
  // The small level's start at column 3 over its ground on row 40.
  check(t.onGround && Math.abs(t.y + t.h - 40 * 32) <= 1 && t.x < 10 * 32, `not the shared level: ${JSON.stringify(t)}`);
  await Promise.all([page.waitForNavigation(), page.click('#editCopy')]);
  await page.evaluate(() => window.brinkhopEditor.ready);
  const copy = await page.evaluate(() => window.brinkhopEditor.text());
  check(copy === sharedText, 'the copy is not the shared level');
  await fresh.close();
});

await test('a broken link says what is wrong and still opens the game', async () => {
  const page = await context.newPage();
  await page.goto(link.slice(0, link.length - 40));
  await page.evaluate(() => window.brinkhop.ready);
  await page.waitForFunction(() => /cannot be played/.test((document.getElementById('shared') || {}).textContent || ''), { timeout: 20000 });
  const note = await page.$eval('#shared', (e) => e.textContent);
  check(/damaged or cut short/.test(note), `the note is: ${note}`);
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => window.brinkhop.frame() > 30, { timeout: 30000, polling: 100 });
  await page.close();
});

await test('the shipped level is saved byte for byte as the level tool dumps it', async () => {
  const fresh = await browser.createBrowserContext();
  const page = await openEditor(fresh);
  const downloads = fs.mkdtempSync(path.join(work, 'save-'));
  const session = await page.createCDPSession();
  await session.send('Page.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await page.click('#save');
  const saved = path.join(downloads, 'level.txt');
  for (let i = 0; i < 100 && !fs.existsSync(saved); ++i) await sleep(100);
  const dumped = execFileSync(levelTool, ['dump', shippedLevel]);
  check(fs.existsSync(saved), 'nothing was downloaded');
  check(Buffer.compare(fs.readFileSync(saved), dumped) === 0, 'the saved source differs from brinkhop-level dump');
  const link = await page.evaluate(() => window.brinkhopEditor.shareLink());
  console.log(`  the shipped level's link: ${link.length} bytes`);
  check(link.length < 16 * 1024, `the shipped level's link is ${link.length} bytes`);
  await fresh.close();
});

await test('fingers: a tap paints, two fingers zoom and scroll, a long press picks', async () => {
  const phone = await browser.createBrowserContext();
  const page = await openEditor(phone, kUprightPhone);
  await page.evaluate((text) => window.brinkhopEditor.load(text), kSmallLevel);
  await page.evaluate(() => window.brinkhopEditor.goTo(8, 37));
  const session = await page.createCDPSession();
  const touch = (type, points) =>
    session.send('Input.dispatchTouchEvent', { type, touchPoints: points.map((p, id) => ({ x: p.x, y: p.y, id })) });
  await choose(page, 'coin box');
  const p = await cellPoint(page, 8, 36);
  await touch('touchStart', [p]);
  await touch('touchEnd', []);
  check((await cell(page, kBlock, 8, 36)) === 2, 'the tap painted no coin box');
  await shot(page, 'editor-phone.png');
  const before = await page.evaluate(() => window.brinkhopEditor.view());
  const a = { x: p.x - 40, y: p.y };
  const b = { x: p.x + 40, y: p.y };
  await touch('touchStart', [a, b]);
  for (let k = 1; k <= 5; ++k) await touch('touchMove', [{ x: a.x - 12 * k, y: a.y + 5 * k }, { x: b.x + 12 * k, y: b.y + 5 * k }]);
  await touch('touchEnd', []);
  const after = await page.evaluate(() => window.brinkhopEditor.view());
  check(after.zoom > before.zoom * 1.3, `two fingers spread did not zoom in: ${before.zoom} -> ${after.zoom}`);
  check((await cell(page, kBlock, 8, 36)) === 2 && (await page.evaluate(() => window.brinkhopEditor.history().steps)) === 1, 'two fingers painted');
  await page.evaluate(() => window.brinkhopEditor.goTo(5, 40));
  const g = await cellPoint(page, 5, 40);
  await touch('touchStart', [g]);
  await sleep(900);
  await touch('touchEnd', []);
  const brush = await page.$eval('#brush', (e) => e.textContent);
  check(brush === 'ground', `the long press picked "${brush}"`);
  check((await page.evaluate(() => window.brinkhopEditor.history().steps)) === 1, 'the long press painted');
  await phone.close();
});

await test('no errors in the pages', async () => {
  check(pageErrors.length === 0, pageErrors.join('; '));
});

await finish({ summary: true });
