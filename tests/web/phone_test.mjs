// The browser version as a phone player meets it, in headless Chromium: the site within its
// download budget, installable, kept for offline play (a replay offline ends as brinkhop-sim's),
// a new build taking over cleanly, silence while paused, thumbs in the black bars, and page
// buttons a fingertip can hit.
// Usage: node phone_test.mjs SITE SIM REPLAYS SOURCE-DIR [SHOTS-DIR]
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import {
  check, commandLine, finish, kDesktop, kPhone, newPage, pageErrors, serve, shot, siteFiles, sleep, Stage, start,
  test, trace, urlOf, waitForFrames,
} from './lib.mjs';

const [site, sim, replays, source, shotsDir] = commandLine('node phone_test.mjs SITE SIM REPLAYS SOURCE-DIR [SHOTS-DIR]');

const kMaxSiteBytes = 700 * 1000; // every file a player may download, as built
const kMaxSiteGzipBytes = 300 * 1000; // the same, gzip-compressed as a host sends them
const kMinTouchTarget = 48; // CSS px

// The site is served from a copy, so that a new build can be put in its place.
const { work, browser } = await start('phone', shotsDir);
const deployed = path.join(work, 'site');
fs.cpSync(site, deployed, { recursive: true });
let server = await serve(deployed, { compress: true });
const port = server.address().port;
const base = urlOf(server);

async function openPage(query = '', viewport = kPhone) {
  const page = await newPage(query || '/', viewport);
  await page.goto(base + query);
  await page.evaluate(() => window.brinkhop.ready);
  return page;
}

const version = (page) => page.evaluate(() => document.querySelector('script[data-version]').dataset.version);

async function startByTouch(page) {
  const stage = new Stage(page);
  await stage.touch([{ x: 240, y: 263 }]);
  await sleep(100);
  await stage.release();
  await waitForFrames(page, 30);
  return stage;
}

// The worker has kept this build's files once it is active.
async function waitUntilKept(page) {
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.waitForFunction(async () => {
    const script = document.querySelector('script[data-version]');
    return (await caches.keys()).includes('brinkhop-' + script.dataset.version);
  }, { timeout: 30000, polling: 200 });
}

// The network gone: the server stops and its port refuses connections.
async function goOffline() {
  server.closeAllConnections();
  await new Promise((resolve) => server.close(resolve));
}
async function goOnline() {
  server = await serve(deployed, { compress: true, port });
}

function simulatorLastLine(script, frames) {
  const lines = execFileSync(sim, ['--input', script, '--frames', String(frames), '--trace'], {
    maxBuffer: 64 * 1024 * 1024,
  }).toString().trim().split('\n');
  return JSON.parse(lines[lines.length - 1]);
}

// The level editor is a page of its own, never loaded to play: its files are counted apart.
const kEditorFiles = /^(editor|level_model\.js|pictures\/)/;

await test('the game a player downloads is within 700 KB, 300 KB compressed, and ships no WAV', async () => {
  const all = siteFiles(site);
  const files = all.filter((f) => !kEditorFiles.test(f.name));
  const editor = all.filter((f) => kEditorFiles.test(f.name));
  console.log(`  the editor's page apart: ${editor.reduce((sum, f) => sum + f.raw, 0)} bytes, ` +
              `${editor.reduce((sum, f) => sum + f.gzip, 0)} compressed`);
  const raw = files.reduce((sum, f) => sum + f.raw, 0);
  const gzip = files.reduce((sum, f) => sum + f.gzip, 0);
  console.log(`  ${files.length} files, ${raw} bytes, ${gzip} compressed`);
  check(raw <= kMaxSiteBytes, `${raw} bytes, more than ${kMaxSiteBytes}`);
  check(gzip <= kMaxSiteGzipBytes, `${gzip} bytes compressed, more than ${kMaxSiteGzipBytes}`);
  check(!files.some((f) => f.name.endsWith('.wav')), 'a WAV file ships');
  check(!fs.readFileSync(path.join(site, 'brinkhop.data')).includes('WAVEfmt'), 'brinkhop.data holds WAV sound');
});

await test('Chromium finds the game installable: a manifest, icons and a service worker', async () => {
  const page = await openPage();
  await waitUntilKept(page);
  const session = await page.createCDPSession();
  const { installabilityErrors } = await session.send('Page.getInstallabilityErrors');
  check(installabilityErrors.length === 0, JSON.stringify(installabilityErrors));
  const manifest = await page.evaluate(() => fetch('manifest.webmanifest').then((r) => r.json()));
  check(manifest.display === 'fullscreen' && manifest.orientation === 'landscape', JSON.stringify(manifest));
  const sizes = manifest.icons.map((icon) => `${icon.sizes} ${icon.purpose}`);
  for (const want of ['192x192 any', '512x512 any', '512x512 maskable']) check(sizes.includes(want), `no icon ${want}`);
  await page.close();
});

await test('a second visit with no network starts, and a replay ends as brinkhop-sim does', async () => {
  const frames = 900;
  const script = path.join(replays, 'complete.txt');
  const expected = simulatorLastLine(script, frames);
  const first = await openPage();
  await waitUntilKept(first);
  await first.close();
  await goOffline();
  try {
    const page = await openPage();
    check((await page.evaluate(() => document.getElementById('note').textContent)) === '', 'the page shows a message offline');
    // As launched from the home screen: full screen, no page button over the game.
    const session = await page.createCDPSession();
    await session.send('Emulation.setEmulatedMedia', { features: [{ name: 'display-mode', value: 'fullscreen' }] });
    const stage = await startByTouch(page);
    const hidden = await page.evaluate(() => [matchMedia('(display-mode: fullscreen)').matches,
                                              getComputedStyle(document.getElementById('fullscreen')).display]);
    check(!hidden[0] || hidden[1] === 'none', 'the full-screen button shows in the installed game');
    // Where the browser cannot pretend to be installed, the page as it is once full screen.
    if (!hidden[0]) await page.evaluate(() => document.body.classList.add('fullscreen'));
    if (shotsDir) {
      await stage.touch([{ x: 160, y: 262 }]);
      await sleep(700);
      await stage.touch([{ x: 160, y: 262 }, { x: 432, y: 262, id: 1 }]);
      await sleep(250);
      await shot(page, 'web-installed.png');
      await stage.release();
    }
    await page.close();
    const replay = await openPage(`?replay=replays/complete.txt&frames=${frames}&speed=30`);
    await waitForFrames(replay, frames, 60000, 100);
    const got = await trace(replay);
    check(JSON.stringify(got) === JSON.stringify(expected),
          `offline the replay ended in\n    ${JSON.stringify(got)}\n  the simulator in\n    ${JSON.stringify(expected)}`);
    await replay.close();
  } finally {
    await goOnline();
  }
});

await test('a new build deployed over the old one is what the next visit plays, with none of the old', async () => {
  const old = await openPage();
  const oldVersion = await version(old);
  await old.close();
  // Another build: the page's script changed by one comment, the site written again.
  fs.appendFileSync(path.join(deployed, 'page.js'), '\n// another build\n');
  execFileSync('cmake', ['-DSITE=' + deployed, `-DPAGE_TEMPLATE=${source}/web/index.html`,
                         `-DWORKER_TEMPLATE=${source}/web/sw.js`, '-P', `${source}/cmake/web_offline.cmake`]);
  const page = await openPage();
  const newVersion = await version(page);
  check(newVersion !== oldVersion, `the page is still build ${oldVersion}`);
  await page.waitForFunction(() => performance.getEntriesByName('brinkhop:levels').length > 0, { timeout: 20000 });
  const asked = await page.evaluate(() => performance.getEntriesByType('resource').map((e) => e.name));
  const mine = asked.filter((url) => /\/(page\.js|brinkhop\.(js|wasm|data)|levels\/)/.test(url));
  check(mine.length >= 5 && mine.every((url) => url.endsWith('?v=' + newVersion)),
        `files of another build: ${mine.filter((url) => !url.endsWith('?v=' + newVersion)).join(' ')}`);
  await startByTouch(page);
  await page.close();
  // A visit with no page of the old build open finds only the new build kept.
  const next = await openPage();
  await waitUntilKept(next);
  await next.waitForFunction((v) => caches.keys().then((k) => k.length === 1 && k[0] === 'brinkhop-' + v),
                             { timeout: 30000, polling: 200 }, newVersion)
    .catch(async () => check(false, `caches: ${(await next.evaluate(() => caches.keys())).join(' ')}`));
  await next.close();
  await goOffline();
  try {
    const offline = await openPage();
    check((await version(offline)) === newVersion, 'offline the old build came back');
    await offline.close();
  } finally {
    await goOnline();
  }
});

await test('the audio stands still on P, on a hidden page and in portrait, and goes on after', async () => {
  const page = await openPage();
  await startByTouch(page);
  await page.waitForFunction(() => window.brinkhop.audio().state === 'running', { timeout: 5000 });
  const waitFor = (state, why) =>
    page.waitForFunction((s) => window.brinkhop.audio().state === s, { timeout: 5000 }, state)
      .catch(() => check(false, `${why}: the audio is not ${state}`));

  await page.keyboard.press('KeyP');
  await waitFor('suspended', 'paused with P');
  await page.keyboard.press('KeyP');
  await waitFor('running', 'P again');

  const other = await browser.newPage();
  await other.bringToFront();
  await waitFor('suspended', 'a hidden page');
  await page.bringToFront();
  await other.close();
  await waitFor('running', 'shown again');

  await page.setViewport({ ...kPhone, width: 390, height: 844, isLandscape: false });
  await waitFor('suspended', 'portrait');
  await page.setViewport(kPhone);
  await waitFor('running', 'landscape again');

  // Mute holds across a pause: the music stays off.
  await page.keyboard.press('KeyM');
  await page.waitForFunction(() => !window.brinkhop.audio().musicHeard, { timeout: 5000 });
  await page.keyboard.press('KeyP');
  await waitFor('suspended', 'paused while muted');
  await page.keyboard.press('KeyP');
  await waitFor('running', 'going on muted');
  await sleep(500);
  check(!(await page.evaluate(() => window.brinkhop.audio().musicHeard)), 'the music came back with the pause');
  await page.close();
});

// A thumb at rest: page points in the bars, as the phone reports them.
async function thumb(page, session, x, y, ms) {
  const touchPoints = [{ x, y, id: 7, radiusX: 4, radiusY: 4, force: 1 }];
  await session.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints });
  await sleep(ms);
  const t = await trace(page);
  await session.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  return t;
}

await test('a thumb in the left bar presses left, in the right bar jump', async () => {
  const page = await openPage();
  const stage = await startByTouch(page);
  const box = await page.evaluate(() => document.getElementById('stage').getBoundingClientRect().toJSON());
  check(box.left >= 100, `the bars are ${box.left} px wide`);
  // Out onto open ground first, so that there is room to go back.
  await stage.touch([{ x: 160, y: 262 }]);
  await sleep(800);
  await stage.release();
  await sleep(300);
  const session = await page.createCDPSession();
  // Held until the player has turned and run back a little (a loaded machine runs few frames).
  const before = await trace(page);
  const touchLeft = [{ x: 10, y: kPhone.height - 30, id: 7, radiusX: 4, radiusY: 4, force: 1 }];
  await session.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: touchLeft });
  let during = before;
  for (const start = Date.now(); Date.now() - start < 3000 && during.x >= before.x - 8; await sleep(50)) {
    during = await trace(page);
  }
  await session.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  check(during.x < before.x - 8, `the left bar did not run left: x ${before.x} -> ${during.x}`);
  await sleep(400);
  let leftGround = false;
  const start = Date.now();
  const touchPoints = [{ x: kPhone.width - 10, y: kPhone.height - 60, id: 8, radiusX: 4, radiusY: 4, force: 1 }];
  await session.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints });
  while (Date.now() - start < 2000 && !leftGround) {
    if (!(await trace(page)).onGround) leftGround = true;
    await sleep(40);
  }
  await session.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  check(leftGround, 'the right bar did not jump');
  // High in a bar nothing is pressed.
  await sleep(800);
  const still = await trace(page);
  const high = await thumb(page, session, 10, 40, 400);
  check(Math.abs(high.x - still.x) < 1 && high.onGround, `a touch high in the bar moved the player: ${JSON.stringify(high)}`);
  await page.close();
});

await test('page buttons are fingertip-sized and keep off the picture during play on a desktop', async () => {
  const phone = await openPage();
  const button = await phone.evaluate(() => document.getElementById('fullscreen').getBoundingClientRect().toJSON());
  check(button.width >= kMinTouchTarget && button.height >= kMinTouchTarget, `the full-screen button is ${button.width} x ${button.height}`);
  await phone.close();

  const desktop = await openPage('', kDesktop);
  const covers = () => desktop.evaluate(() => {
    const b = document.getElementById('fullscreen');
    const s = document.getElementById('stage').getBoundingClientRect();
    const r = b.getBoundingClientRect();
    const shown = getComputedStyle(b).display !== 'none';
    return shown && r.right > s.left && r.left < s.right && r.bottom > s.top && r.top < s.bottom;
  });
  await desktop.keyboard.press('Enter');
  await desktop.waitForFunction(() => window.brinkhop.frame() > 10, { timeout: 20000 });
  await sleep(400);
  check(!(await covers()), 'the full-screen button covers the picture during play');
  await desktop.close();
});

await test('the pages logged no errors', async () => {
  check(pageErrors.length === 0, pageErrors.join('\n  '));
});

await finish();
