// The browser version in a real headless Chromium: the page's download, its start screen beside
// the desktop's, touches (one and two fingers), keys, a pad, the mouse, audio and music after
// the first touch (M mutes the music), a hidden page and a portrait phone pausing, the random
// numbers of the desktop, replays ending as their files and brinkhop-sim say, the sentence shown where WebGL or WebAssembly is missing, and no
// errors logged by the page.
// Usage: node web_test.mjs SITE SIM REPLAYS DESKTOP-SHOT-SCRIPT GAME CLOSER DATA [SHOTS-DIR]
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import {
  check, commandLine, finish, kPhone, newPage, pageErrors, serve, shot, sleep, Stage, start, test, trace, urlOf,
  waitForFrames,
} from './lib.mjs';

const [site, sim, replays, desktopShot, game, closer, data, shotsDir] =
  commandLine('node web_test.mjs SITE SIM REPLAYS DESKTOP-SHOT-SCRIPT GAME CLOSER DATA [SHOTS-DIR]');

const kMaxDownload = 1.5 * 1000 * 1000; // bytes, as served, uncompressed
// Of the 960 x 640 picture, at most this share of pixels may differ from the desktop's by more
// than kChannelFuzz in a channel: the two GLs may round a texel edge differently, nothing more.
const kMaxDifferentShare = 0.002;
const kChannelFuzz = '3%';

const { work, browser } = await start('web', shotsDir);
const base = urlOf(await serve(site));

// A fresh page that records what it downloads and every error it logs.
async function openPage(query = '', viewport = kPhone, before = null) {
  const page = await newPage(query || '/', viewport);
  const bytes = new Map();
  // As served, uncompressed: the test's server sends every file's length.
  page.on('response', (response) => {
    bytes.set(response.url(), Number(response.headers()['content-length'] || 0));
  });
  if (before) await before(page);
  const navigated = Date.now();
  await page.goto(base + query);
  const stage = new Stage(page);
  return { page, bytes, navigated, stage };
}

// A page whose game a touch on START began, `frames` frames ago.
async function startedPage(frames) {
  const { page, stage } = await openPage();
  await page.evaluate(() => window.brinkhop.ready);
  await stage.touch([{ x: 240, y: 263 }]);
  await stage.release();
  await waitForFrames(page, frames);
  return { page, stage };
}

await test('the page downloads at most 1.5 MB and shows its first frame', async () => {
  const { page, bytes, navigated } = await openPage();
  await page.evaluate(() => window.brinkhop.ready);
  const readyAfter = Date.now() - navigated;
  await sleep(300);
  const total = [...bytes.values()].reduce((a, b) => a + b, 0);
  console.log(`  downloaded ${total} bytes in ${bytes.size} files; first frame after ${readyAfter} ms`);
  check(total <= kMaxDownload, `${total} bytes downloaded, more than ${kMaxDownload}`);
  check(bytes.size >= 4, `only ${bytes.size} files were fetched`);
  await page.close();
});

await test('the start screen matches the desktop start screen', async () => {
  const desktop = path.join(work, 'desktop.png');
  execFileSync('bash', [desktopShot, game, closer, data, desktop], { stdio: 'inherit' });
  const { page, stage } = await openPage('', { width: 960, height: 640, deviceScaleFactor: 1 });
  await page.evaluate(() => window.brinkhop.ready);
  // The full-screen button and the editor's link lie over the picture when there are no bars;
  // the desktop has neither.
  await page.evaluate(() => {
    document.getElementById('fullscreen').style.visibility = 'hidden';
    document.getElementById('editorLink').style.visibility = 'hidden';
  });
  // The START button blinks: some shot catches the same phase as the desktop's.
  let best = Infinity;
  for (let attempt = 0; attempt < 10 && best > kMaxDifferentShare; attempt++) {
    const browserShot = path.join(work, `browser-${attempt}.png`);
    await page.screenshot({ path: browserShot });
    best = Math.min(best, differentShare(desktop, browserShot));
    await sleep(230);
  }
  console.log(`  ${(best * 100).toFixed(3)}% of pixels differ beyond ${kChannelFuzz}`);
  check(best <= kMaxDifferentShare, `${(best * 100).toFixed(2)}% of the pixels differ from the desktop's`);
  // The mouse is a finger: a click on START starts the game here too.
  await stage.click(148 + 92, 240 + 23);
  await waitForFrames(page, 5);
  await page.close();
});

function differentShare(a, b) {
  // compare prints the count of differing pixels on its error stream, whatever its status.
  const run = spawnSync('compare', ['-metric', 'AE', '-fuzz', kChannelFuzz, a, b, 'null:']);
  const count = parseFloat(run.stderr.toString());
  if (run.status > 1 || Number.isNaN(count)) throw new Error(`compare failed: ${run.stderr}`);
  return count / (960 * 640);
}

await test('a touch on START starts the game; audio runs after that first touch', async () => {
  const { page, stage } = await openPage();
  await page.evaluate(() => window.brinkhop.ready);
  await shot(page, 'web-start.png');
  check((await page.evaluate(() => window.brinkhop.audio().state)) !== 'running',
        'audio ran before any gesture');
  await stage.touch([{ x: 240, y: 263 }]);
  await sleep(100);
  await stage.release();
  await waitForFrames(page, 10);
  const t = await trace(page);
  check(t.lives === 5 && t.score === 0 && !t.dying, `the game did not start fresh: ${JSON.stringify(t)}`);
  await page.waitForFunction(() => window.brinkhop.audio().state === 'running', { timeout: 5000 });
  // The play tune, made from its score, is heard once the audio runs; M silences it and M
  // again brings it back.
  await page.waitForFunction(() => window.brinkhop.audio().musicHeard, { timeout: 10000 });
  await page.keyboard.press('KeyM');
  await page.waitForFunction(() => !window.brinkhop.audio().musicHeard, { timeout: 5000 });
  await page.keyboard.press('KeyM');
  await page.waitForFunction(() => window.brinkhop.audio().musicHeard, { timeout: 5000 });
  await page.close();
});

await test('two fingers at once, on right and on jump, run and jump; sounds play', async () => {
  const { page, stage } = await startedPage(30); // the player lands on the hill
  const before = await trace(page);
  check(before.onGround, 'the player is not standing before the test');
  const startFrame = await page.evaluate(() => window.brinkhop.frame());
  await stage.touch([{ x: 160, y: 262 }]); // right
  await sleep(200);
  await stage.touch([{ x: 160, y: 262 }, { x: 432, y: 262, id: 1 }]); // right and jump together
  let highest = before.y;
  let leftGround = false;
  let during = null;
  for (let i = 0; i < 12; i++) {
    await sleep(60);
    during = await trace(page);
    if (!during.onGround) leftGround = true;
    highest = Math.max(highest, during.y);
  }
  await shot(page, 'web-two-fingers.png');
  await stage.release();
  const after = await trace(page);
  check(after.frame > startFrame, 'no frames ran');
  check(after.x > before.x + 8, `the player did not run right: x ${before.x} -> ${after.x}`);
  check(leftGround, 'the player never left the ground');
  check(during.vx > 0, `the player was not moving right while jumping (vx ${during.vx})`);
  const audio = await page.evaluate(() => window.brinkhop.audio());
  check(audio.state === 'running' && audio.started > 0, `no sound played: ${JSON.stringify(audio)}`);
  await page.close();
});

await test('keyboard play: Enter starts, Right runs, Space jumps', async () => {
  const { page } = await openPage('', { width: 960, height: 640, deviceScaleFactor: 1 });
  await page.evaluate(() => window.brinkhop.ready);
  await page.keyboard.press('Enter');
  await waitForFrames(page, 30);
  const before = await trace(page);
  await page.keyboard.down('ArrowRight');
  await sleep(500);
  await page.keyboard.down('Space');
  let leftGround = false;
  for (let i = 0; i < 8; i++) {
    await sleep(50);
    if (!(await trace(page)).onGround) leftGround = true;
  }
  await page.keyboard.up('Space');
  await page.keyboard.up('ArrowRight');
  const after = await trace(page);
  check(after.x > before.x + 8, `Right did not run: x ${before.x} -> ${after.x}`);
  check(leftGround, 'Space did not jump');
  await shot(page, 'web-keyboard.png');
  await page.close();
});

await test('a standard gamepad plays: A starts, the d-pad runs', async () => {
  // Chromium offers no pad without one plugged in: the page's Gamepad API answers with one.
  const padScript = () => {
    const buttons = Array.from({ length: 17 }, () => ({ pressed: false, value: 0 }));
    const pad = { id: 'test pad', index: 0, connected: true, mapping: 'standard', axes: [0, 0, 0, 0], buttons, timestamp: 0 };
    window.testPad = pad;
    navigator.getGamepads = () => [pad];
  };
  const { page } = await openPage('', kPhone, (p) => p.evaluateOnNewDocument(padScript));
  await page.evaluate(() => window.brinkhop.ready);
  const press = (button, pressed) =>
    page.evaluate((b, on) => { window.testPad.buttons[b] = { pressed: on, value: on ? 1 : 0 }; window.testPad.timestamp++; }, button, pressed);
  // Held until play starts: a loaded machine may skip a poll or two of a short press.
  await press(0, true);
  await waitForFrames(page, 1);
  await press(0, false);
  await waitForFrames(page, 30);
  const before = await trace(page);
  await press(15, true); // d-pad right
  await sleep(600);
  await press(15, false);
  const after = await trace(page);
  check(after.x > before.x + 8, `the d-pad did not run: x ${before.x} -> ${after.x}`);
  await page.close();
});

await test('a hidden page pauses without a catch-up, and play goes on when it shows again', async () => {
  const { page } = await startedPage(10);
  const other = await browser.newPage();
  await other.bringToFront();
  await sleep(200);
  const hiddenAt = await page.evaluate(() => [document.visibilityState, window.brinkhop.frame()]);
  await sleep(1500);
  const stillAt = await page.evaluate(() => window.brinkhop.frame());
  check(hiddenAt[0] === 'hidden', 'the page did not become hidden');
  check(stillAt <= hiddenAt[1] + 1, `frames ran while hidden: ${hiddenAt[1]} -> ${stillAt}`);
  await page.bringToFront();
  await other.close();
  await sleep(300);
  const back = await page.evaluate(() => window.brinkhop.frame());
  // 300 ms at 30 frames a second is about 9 frames; a catch-up of 1.5 s would be 45 more.
  check(back > stillAt, 'play did not go on after the page showed again');
  check(back < stillAt + 25, `a burst of ${back - stillAt} frames came after the pause`);
  await page.close();
});

await test('a portrait viewport asks to turn the phone and pauses the game', async () => {
  const { page } = await startedPage(10);
  await page.setViewport({ ...kPhone, width: 390, height: 844, isLandscape: false });
  await sleep(300);
  const at = await page.evaluate(() => window.brinkhop.frame());
  await sleep(600);
  const later = await page.evaluate(() => window.brinkhop.frame());
  const shown = await page.evaluate(() => getComputedStyle(document.getElementById('turn')).display);
  await shot(page, 'web-portrait.png');
  check(shown !== 'none', 'no turn-the-phone notice');
  check(later <= at + 1, `the game ran on in portrait: ${at} -> ${later}`);
  await page.setViewport(kPhone);
  await sleep(400);
  check((await page.evaluate(() => window.brinkhop.frame())) > later, 'the game did not go on in landscape');
  await page.close();
});

await test('the game draws the random numbers of the desktop C library', async () => {
  // glibc's own rand() after srand(1), the sequence every replay was recorded with.
  const glibc = execFileSync('python3', ['-c',
    'import ctypes; c = ctypes.CDLL("libc.so.6"); c.srand(1); print(" ".join(str(c.rand()) for _ in range(1000)))',
  ]).toString().trim().split(' ').map(Number);
  const { page } = await openPage();
  await page.evaluate(() => window.brinkhop.ready);
  const got = await page.evaluate(() => window.brinkhop.randomSequence(1000));
  check(got.length === 1000, `${got.length} numbers`);
  const first = got.findIndex((value, i) => value !== glibc[i]);
  check(first < 0, `number ${first} is ${got[first]}, glibc's ${glibc[first]}`);
  await page.close();
});

// Replays end in the trace line they hold, as in brinkhop-sim; with the units as brinkhop-sim
// --units gives them, whose fire chains start at angles from the random sequence.
for (const name of ['pipe_to_money_room.txt', 'death_cracked_bridge.txt', 'complete.txt']) {
  await test(`?replay= of tests/replays/${name} ends in its last line, units as in brinkhop-sim`, async () => {
    const script = path.join(replays, name);
    const text = fs.readFileSync(script, 'utf8');
    const end = Number(text.match(/^(\d+) end$/m)[1]);
    const expected = JSON.parse(text.match(/^# (\{.*\})$/m)[1]);
    const units = execFileSync(sim, ['--input', script, '--trace', '--units'], { maxBuffer: 64 * 1024 * 1024 })
      .toString().trim().split('\n').pop();
    const { page } = await openPage(`?replay=replays/${name}&frames=${end + 1}&speed=60`);
    await page.evaluate(() => window.brinkhop.ready);
    await waitForFrames(page, end + 1, 120000);
    const got = await trace(page);
    check(JSON.stringify(got) === JSON.stringify(expected),
          `the replay ended in\n    ${JSON.stringify(got)}\n  the file holds\n    ${JSON.stringify(expected)}`);
    const gotUnits = await page.evaluate(() => window.brinkhop.trace(true));
    check(JSON.stringify(gotUnits) === JSON.stringify(JSON.parse(units)),
          `the units differ:\n    ${JSON.stringify(gotUnits.units)}\n  brinkhop-sim\n    ${JSON.stringify(JSON.parse(units).units)}`);
    if (name === 'complete.txt') await shot(page, 'web-replay-end.png');
    check((await page.evaluate(() => window.brinkhop.frame())) === end + 1, 'the replay ran past its end');
    await page.close();
  });
}

await test('one clear sentence where WebAssembly or WebGL is missing', async () => {
  const cases = [
    [() => { delete window.WebAssembly; }, /WebAssembly/],
    [() => { HTMLCanvasElement.prototype.getContext = () => null; }, /WebGL/],
  ];
  for (const [strip, sentence] of cases) {
    const page = await browser.newPage();
    await page.evaluateOnNewDocument(strip);
    await page.goto(base);
    const says = () => page.evaluate(() => document.getElementById('note').textContent);
    await page
      .waitForFunction((source) => new RegExp(source).test(document.getElementById('note').textContent),
                       { timeout: 20000 }, sentence.source)
      .catch(async () => check(false, `the page says "${await says()}"`));
    await page.close();
  }
});

// A copy of the site with its levels changed by `alter(levelsFolder)`, served apart.
async function alteredSite(alter) {
  const copy = fs.mkdtempSync(path.join(work, 'site-'));
  fs.cpSync(site, copy, { recursive: true, filter: (from) => !from.startsWith(path.join(site, 'cmake')) });
  alter(path.join(copy, 'levels'));
  const altered = await serve(copy);
  return { url: urlOf(altered), server: altered };
}

// A page of its own: the 404s it is made to meet are not the game's errors, uncaught ones are.
async function openBare(url) {
  const page = await browser.newPage();
  const uncaught = [];
  page.on('pageerror', (error) => uncaught.push(error.message));
  await page.setViewport(kPhone);
  await page.goto(url);
  return { page, uncaught };
}

const noteText = (page) => page.evaluate(() => document.getElementById('note').textContent);
async function waitForNote(page, pattern, timeout = 30000) {
  await page
    .waitForFunction((source) => new RegExp(source).test(document.getElementById('note').textContent),
                     { timeout, polling: 100 }, pattern.source)
    .catch(async () => check(false, `the page says "${await noteText(page)}", not ${pattern}`));
}

await test('bad replay numbers and scripts get one line naming what is wrong', async () => {
  const cases = [
    ['?replay=replays/complete.txt&frames=abc', /frames must be a whole number from 1 to 2592000 .*not 'abc'/],
    ['?replay=replays/complete.txt&frames=-5', /frames must be a whole number .*not '-5'/],
    ['?replay=replays/complete.txt&frames=2000000&speed=2000000', /speed must be a whole number from 1 to 100 .*not '2000000'/],
    ['?replay=replays/complete.txt&speed=0', /speed must be .*not '0'/],
    ['?replay=nonexist.txt', /^The replay nonexist.txt cannot be fetched: 404 Not Found\.$/],
  ];
  for (const [query, line] of cases) {
    const { page, uncaught } = await openBare(base + query);
    await waitForNote(page, line);
    check(uncaught.length === 0, `${query}: ${uncaught.join('; ')}`);
    await page.close();
  }
  const bad = path.join(site, 'replays', 'bad-word.txt');
  fs.writeFileSync(bad, '0 key right down\n5 hop\n');
  try {
    const { page } = await openBare(base + '?replay=replays/bad-word.txt');
    await waitForNote(page, /^The replay replays\/bad-word.txt cannot be read: line 2: /);
    await page.close();
  } finally {
    fs.rmSync(bad);
  }
});

await test('a fast replay never holds the page for long', async () => {
  const { page } = await openBare(base + '?replay=replays/complete.txt&frames=2592000&speed=100');
  await page.evaluate(() => window.brinkhop.ready);
  await waitForFrames(page, 300, 60000);
  // The page answers while the replay runs at its fastest: a frozen page would not.
  for (let i = 0; i < 5; i++) {
    const answered = await Promise.race([page.evaluate(() => window.brinkhop.frame()), sleep(5000).then(() => -1)]);
    check(answered > 0, 'the page did not answer within 5 s during a fast replay');
  }
  await page.close();
});

await test('a missing, truncated or oversized level names its file and reason; play goes on', async () => {
  const gz = (bytes) => zlib.gzipSync(bytes);
  const sites = [
    [(levels) => fs.rmSync(path.join(levels, 'bonus.gz')), /levels\/bonus.gz: 404 Not Found.*play goes on/],
    [(levels) => {
      const file = path.join(levels, 'bonus.gz');
      const bytes = fs.readFileSync(file);
      fs.writeFileSync(file, bytes.subarray(0, bytes.length >> 1));
    }, /levels\/bonus.gz: truncated or damaged/],
    [(levels) => fs.writeFileSync(path.join(levels, 'bonus.gz'), gz(Buffer.alloc(17 << 20))),
      /levels\/bonus.gz: larger than 16 MB unpacked/],
  ];
  for (const [alter, line] of sites) {
    const { url, server: altered } = await alteredSite(alter);
    const { page, uncaught } = await openBare(url);
    const stage = new Stage(page);
    await page.evaluate(() => window.brinkhop.ready);
    await stage.click(148 + 92, 240 + 23); // the start button
    await waitForNote(page, line);
    const at = await page.evaluate(() => window.brinkhop.frame());
    await sleep(1000);
    check((await page.evaluate(() => window.brinkhop.frame())) > at + 5, `${line}: the game does not play`);
    check(uncaught.length === 0, uncaught.join('; '));
    await page.close();
    altered.close();
  }
  // Without its first level there is nothing to play, and the page says which file it lacks.
  const { url, server: altered } = await alteredSite((levels) => fs.rmSync(path.join(levels, 'level.gz')));
  const { page } = await openBare(url);
  await waitForNote(page, /could not load its level \(levels\/level.gz: 404 Not Found\)/);
  await page.close();
  altered.close();
});

await test('a pipe into a missing level is refused as on the desktop', async () => {
  const script = path.join(replays, 'pipe_to_money_room.txt');
  const frames = 400;
  const lacking = fs.mkdtempSync(path.join(work, 'data-'));
  for (const name of fs.readdirSync(data)) if (name !== 'bonus') fs.cpSync(path.join(data, name), path.join(lacking, name), { recursive: true });
  const run = spawnSync(sim, ['--data', lacking, '--input', script, '--frames', String(frames), '--trace'], { maxBuffer: 64 << 20 });
  const lines = run.stdout.toString().trim().split('\n');
  check(run.status === 1, `the simulator ended with ${run.status} without the bonus level`);
  const { url, server: altered } = await alteredSite((levels) => fs.rmSync(path.join(levels, 'bonus.gz')));
  const { page } = await openBare(`${url}?replay=replays/pipe_to_money_room.txt&frames=${frames}&speed=20`);
  await waitForFrames(page, frames, 60000);
  await sleep(200);
  const got = JSON.stringify(await trace(page));
  const expected = JSON.stringify(JSON.parse(lines[lines.length - 1]));
  check(got === expected, `the page ended in\n    ${got}\n  the simulator in\n    ${expected}`);
  await page.close();
  altered.close();
});

await test('the page logged no errors', async () => {
  check(pageErrors.length === 0, pageErrors.join('\n  '));
});

await finish();
