// The editor's level model under node: the level file's bytes read and written back unchanged,
// every kind of edit undone and redone to the same bytes, the history's bounds, and shared
// links packed and unpacked (and broken ones refused with a reason).
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import test from 'node:test';

const require = createRequire(import.meta.url);
const M = require('../../web/level_model.js');
const Share = require('../../web/share.js');
const { L } = M;

function sampleLevel() {
  const level = M.emptyLevel();
  for (let c = 0; c < 30; ++c) {
    level.layers[L.ground][M.cellIndex(c, 40)] = 1;
    level.layers[L.reveal][M.cellIndex(c, 40)] = 1;
  }
  level.lists.triggers.push({ kind: 3, unitType: 0, onlyCode: 0, column0: 0, column1: 0, row0: 0, row1: 0 });
  level.layers[L.trigger][M.cellIndex(2, 39)] = 0;
  level.lists.texts.push({ skipped: 7, text: 'HOP RIGHT!' });
  level.lists.warps.push({ x: 320, y: 1248, direction: 1, startIndex: 0, fileName: 'bonus' });
  level.lists.hasGoal = true;
  level.lists.goal = { column0: 25, row0: 30, column1: 26, row1: 39 };
  level.lists.backdrops.push({ column0: 10, row0: 0, column1: 20, row1: 63, kind: 1 });
  level.lists.checkpoints.push({ column: 12, row: 39 });
  level.lists.extra = [1, 2, 3];
  return level;
}

const bytesOf = (level) => Buffer.from(M.serializeLevel(level));

test('a level file is read and written back byte for byte', () => {
  const bytes = M.serializeLevel(sampleLevel());
  assert.equal(bytes.length, 8 + 8 * M.kCells * 4 + 4 + 28 + 4 + 4 + 1 + 10 + 16 + 4 + 4 + 20 + 5 + 4 + 16 + 4 + 4 + 20 + 4 + 4 + 8 + 3);
  const again = M.serializeLevel(M.parseLevel(bytes));
  assert.ok(Buffer.from(again).equals(Buffer.from(bytes)));
  assert.throws(() => M.parseLevel(bytes.subarray(0, 1000)), /cut short/);
});

test('every edit is undone to the bytes before it and redone to the bytes after it', () => {
  const level = sampleLevel();
  const history = new M.History(level);
  const edits = {
    paint: () => history.set(L.block, 5, 38, 2),
    stroke: () => {
      history.begin();
      for (let c = 0; c < 10; ++c) history.set(L.ground, c, 20, 1);
      history.set(L.ground, 3, 20, 0); // a cell painted twice in one stroke is one change
      history.end();
    },
    fill: () => {
      history.begin();
      for (let c = 40; c < 50; ++c) for (let r = 30; r < 35; ++r) history.set(L.coin, c, r, 1);
      history.end();
    },
    cut: () => {
      history.begin();
      M.clearRegion(history, 0, 38, 10, 41);
      history.end();
    },
    paste: () => {
      const clip = M.copyRegion(level, 20, 38, 29, 41);
      history.begin();
      M.pasteRegion(history, clip, 100, 38);
      history.end();
    },
    text: () => {
      history.begin();
      history.lists((l) => l.texts.push({ skipped: 0, text: 'MIND THE GAP' }));
      history.set(L.label, 8, 36, 1);
      history.end();
    },
    checkpoint: () => history.lists((l) => l.checkpoints.push({ column: 20, row: 39 })),
    goal: () => history.lists((l) => (l.goal = { column0: 1, row0: 2, column1: 3, row1: 4 })),
    removeWarp: () => history.lists((l) => l.warps.splice(0, 1)),
  };
  for (const [name, edit] of Object.entries(edits)) {
    const before = bytesOf(level);
    edit();
    const after = bytesOf(level);
    assert.ok(!before.equals(after), `${name} changed nothing`);
    assert.ok(history.undo(), `${name} has no undo`);
    assert.ok(bytesOf(level).equals(before), `${name} undone is not the level before it`);
    assert.ok(history.redo(), `${name} has no redo`);
    assert.ok(bytesOf(level).equals(after), `${name} redone is not the level after it`);
  }
  // All of them back, newest first, to the level as loaded; a new edit drops the redo steps.
  while (history.undo());
  assert.ok(bytesOf(level).equals(bytesOf(sampleLevel())));
  history.redo();
  history.set(L.coin, 1, 1, 1);
  assert.equal(history.redo(), false);
});

test('the history keeps 200 steps and more, under 64 MB after 1000 edits', () => {
  const level = M.emptyLevel();
  const history = new M.History(level);
  for (let i = 0; i < 1000; ++i) {
    // Each a rectangle of 8 x 8 cells over all layers, as a paste is.
    history.begin();
    for (let c = 0; c < 8; ++c) for (let r = 0; r < 8; ++r) for (let k = 0; k < 8; ++k) history.set(k, (i * 8 + c) % M.kColumns, r, i + 1);
    history.end();
  }
  assert.ok(history.done.length >= 200, `only ${history.done.length} steps kept`);
  assert.ok(history.bytes < 64 << 20, `${history.bytes} bytes of history`);
  for (let i = 0; i < 200; ++i) assert.ok(history.undo());
});

test('a play from a column starts there, the level itself unchanged', () => {
  const level = sampleLevel();
  const before = bytesOf(level);
  assert.equal(M.standingRow(level, 12), 39);
  const played = M.parseLevel(M.startingAt(level, 12, 39));
  const last = played.lists.triggers.length - 1;
  assert.equal(played.lists.triggers[last].kind, 3);
  assert.equal(played.layers[L.trigger][M.cellIndex(12, 39)], last);
  assert.ok(bytesOf(level).equals(before));
});

test('a level source travels in a link and comes back the same', async () => {
  const text = 'size 4096 64\n; a comment with ünïcode\n' + '[map 0]\n00 ' + '#'.repeat(700) + '\n';
  const fragment = await Share.encode(text);
  assert.match(fragment, /^level=[A-Za-z0-9_-]+$/);
  assert.ok(fragment.length < text.length / 4, `${fragment.length} characters for ${text.length}`);
  assert.equal(await Share.decode('#' + fragment), text);
  assert.equal(await Share.decode('#other=1&' + fragment), text);
  assert.equal(await Share.decode('#nothing'), null);
  await assert.rejects(Share.decode('#level=' + fragment.slice(6, 20)), /damaged or cut short/);
  await assert.rejects(Share.decode('#level=ab%21cd'), /never holds/);
  await assert.rejects(Share.decode('#level='), /no level/);
});

test('a stroke taken back as a gesture leaves nothing to redo', () => {
  const level = sampleLevel();
  const before = bytesOf(level);
  const history = new M.History(level);
  history.set(L.coin, 9, 9, 1);
  const painted = bytesOf(level);
  history.begin();
  history.set(L.block, 4, 4, 2);
  history.discard();
  assert.ok(bytesOf(level).equals(painted));
  history.begin();
  history.discard(); // an empty stroke takes back nothing before it
  assert.ok(bytesOf(level).equals(painted));
  history.undo();
  assert.ok(bytesOf(level).equals(before));
  assert.equal(history.redo(), true);
  assert.equal(history.redo(), false);
});
