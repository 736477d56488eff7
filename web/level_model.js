// The level as the editor holds it: the binary level file's layers and lists, read from and
// written to the file's bytes (the compiler and the writer in editor_code turn those into
// source text), and the history of edits that undo and redo walk.
'use strict';

(function (root) {
  const kColumns = 4096;
  const kRows = 64;
  const kCells = kColumns * kRows;
  const L = { ground: 0, coin: 1, block: 2, unit: 3, trigger: 4, label: 5, reveal: 6, deco: 7 };
  const kLayerCount = 8;
  const kHistorySteps = 1000; // undo reaches this far back...
  const kHistoryBytes = 48 << 20; // ...while the steps kept stay under this

  const resetValue = (layer) => (layer === L.trigger || layer === L.label ? -1 : 0);
  const cellIndex = (column, row) => column * kRows + row;

  function emptyLists() {
    return {
      triggers: [], // {kind, unitType, onlyCode, column0, column1, row0, row1}
      texts: [], // {skipped, text}
      trailer: [0, 0, 0, 0],
      hasWarpSection: false,
      warps: [], // {x, y, direction, startIndex, fileName}
      hasGoal: false,
      goal: { column0: 0, row0: 0, column1: 0, row1: 0 },
      hasBackdropSection: false,
      backdrops: [], // {column0, row0, column1, row1, kind}
      hasCheckpointSection: false,
      checkpoints: [], // {column, row}
      extra: [],
    };
  }

  function emptyLevel() {
    const layers = [];
    for (let k = 0; k < kLayerCount; ++k) layers.push(new Int32Array(kCells).fill(resetValue(k)));
    return { sizeA: kColumns, sizeB: kRows, layers, lists: emptyLists() };
  }

  const latin1 = (bytes) => String.fromCharCode(...bytes);
  const bytesOf = (text) => Uint8Array.from(text, (c) => c.charCodeAt(0) & 255);

  // Reads bytes the editor's compiler wrote, so only the sections it writes, in its order.
  function parseLevel(bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    let at = 0;
    const int = () => {
      if (at + 4 > bytes.length) throw new Error('the level file is cut short');
      const v = view.getInt32(at, true);
      at += 4;
      return v;
    };
    const magic = (name) => {
      if (latin1(bytes.subarray(at, at + 4)) !== name) return false;
      at += 4;
      return true;
    };
    const sizeA = int();
    const sizeB = int();
    if (sizeA * sizeB !== kCells) throw new Error('the level is not 4096 by 64 cells');
    if (bytes.length < at + kLayerCount * kCells * 4) throw new Error('the level file is cut short');
    const layers = [];
    for (let k = 0; k < kLayerCount; ++k) {
      const layer = new Int32Array(kCells);
      for (let i = 0; i < kCells; ++i) layer[i] = view.getInt32(at + 4 * i, true);
      at += 4 * kCells;
      layers.push(layer);
    }
    const lists = emptyLists();
    for (let n = int(); n > 0; --n) {
      const [kind, unitType, onlyCode, column0, column1, row0, row1] = [int(), int(), int(), int(), int(), int(), int()];
      lists.triggers.push({ kind, unitType, onlyCode, column0, column1, row0, row1 });
    }
    for (let n = int(); n > 0; --n) {
      const length = int();
      const skipped = bytes[at++];
      lists.texts.push({ skipped, text: latin1(bytes.subarray(at, at + length)) });
      at += length;
    }
    lists.trailer = [int(), int(), int(), int()];
    if (magic('WARP')) {
      lists.hasWarpSection = true;
      for (let n = int(); n > 0; --n) {
        const [x, y, direction, startIndex, length] = [int(), int(), int(), int(), int()];
        lists.warps.push({ x, y, direction, startIndex, fileName: latin1(bytes.subarray(at, at + length)) });
        at += length;
      }
    }
    if (magic('GOAL')) {
      lists.hasGoal = true;
      lists.goal = { column0: int(), row0: int(), column1: int(), row1: int() };
    }
    if (magic('BACK')) {
      lists.hasBackdropSection = true;
      for (let n = int(); n > 0; --n) {
        lists.backdrops.push({ column0: int(), row0: int(), column1: int(), row1: int(), kind: int() });
      }
    }
    if (magic('FLAG')) {
      lists.hasCheckpointSection = true;
      for (let n = int(); n > 0; --n) lists.checkpoints.push({ column: int(), row: int() });
    }
    lists.extra = Array.from(bytes.subarray(at));
    return { sizeA, sizeB, layers, lists };
  }

  function serializeLevel(level) {
    const s = level.lists;
    const out = [];
    const ints = [];
    const flush = () => {
      if (!ints.length) return;
      const b = new Uint8Array(ints.length * 4);
      const v = new DataView(b.buffer);
      ints.forEach((x, i) => v.setInt32(i * 4, x, true));
      out.push(b);
      ints.length = 0;
    };
    const raw = (b) => {
      flush();
      out.push(b instanceof Uint8Array ? b : Uint8Array.from(b));
    };
    ints.push(level.sizeA, level.sizeB);
    flush();
    for (const layer of level.layers) out.push(new Uint8Array(layer.buffer.slice(0)));
    ints.push(s.triggers.length);
    for (const t of s.triggers) ints.push(t.kind, t.unitType, t.onlyCode, t.column0, t.column1, t.row0, t.row1);
    ints.push(s.texts.length);
    for (const t of s.texts) {
      const text = bytesOf(t.text);
      ints.push(text.length);
      raw([t.skipped & 255]);
      raw(text);
    }
    ints.push(...s.trailer);
    if (s.hasWarpSection || s.warps.length) {
      raw(bytesOf('WARP'));
      ints.push(s.warps.length);
      for (const w of s.warps) {
        const name = bytesOf(w.fileName);
        ints.push(w.x, w.y, w.direction, w.startIndex, name.length);
        raw(name);
      }
    }
    if (s.hasGoal) {
      raw(bytesOf('GOAL'));
      ints.push(s.goal.column0, s.goal.row0, s.goal.column1, s.goal.row1);
    }
    if (s.hasBackdropSection || s.backdrops.length) {
      raw(bytesOf('BACK'));
      ints.push(s.backdrops.length);
      for (const b of s.backdrops) ints.push(b.column0, b.row0, b.column1, b.row1, b.kind);
    }
    if (s.hasCheckpointSection || s.checkpoints.length) {
      raw(bytesOf('FLAG'));
      ints.push(s.checkpoints.length);
      for (const c of s.checkpoints) ints.push(c.column, c.row);
    }
    raw(s.extra);
    flush();
    let size = 0;
    for (const b of out) size += b.length;
    const bytes = new Uint8Array(size);
    let at = 0;
    for (const b of out) {
      bytes.set(b, at);
      at += b.length;
    }
    return bytes;
  }

  const cloneLists = (lists) => JSON.parse(JSON.stringify(lists));

  // Every change is a step: the cells it changed (layer, index, before, after, packed four
  // ints a cell) and, when it changed the lists, the lists before and after. Steps past the
  // limits are forgotten from the oldest.
  class History {
    constructor(level) {
      this.level = level;
      this.done = [];
      this.undone = [];
      this.open = null;
      this.bytes = 0;
      this.onChange = null; // after each step, undo and redo
      this.onCell = null; // after each cell changed, with its index
    }

    begin() {
      if (!this.open) this.open = { cells: [], seen: new Map(), lists: null };
    }

    // Sets one cell of one layer, remembered in the open step (one is opened if none is).
    set(layer, column, row, value) {
      if (column < 0 || column >= kColumns || row < 0 || row >= kRows) return false;
      const index = cellIndex(column, row);
      const data = this.level.layers[layer];
      if (data[index] === value) return false;
      const single = !this.open;
      this.begin();
      const key = layer * kCells + index;
      const seen = this.open.seen.get(key);
      if (seen === undefined) {
        this.open.seen.set(key, this.open.cells.length);
        this.open.cells.push(layer, index, data[index], value);
      } else {
        this.open.cells[seen + 3] = value;
      }
      data[index] = value;
      if (this.onCell) this.onCell(index);
      if (single) this.end();
      return true;
    }

    // Changes the lists through `change(lists)`, as one step with the cells of the open one.
    lists(change) {
      const single = !this.open;
      this.begin();
      const before = this.open.lists ? this.open.lists.before : cloneLists(this.level.lists);
      change(this.level.lists);
      this.open.lists = { before, after: cloneLists(this.level.lists) };
      if (single) this.end();
    }

    end() {
      const open = this.open;
      this.open = null;
      if (!open || (!open.cells.length && !open.lists)) return;
      const step = { cells: Int32Array.from(open.cells), lists: open.lists };
      step.bytes = step.cells.byteLength + (step.lists ? 2 * JSON.stringify(step.lists.after).length : 0);
      this.done.push(step);
      this.bytes += step.bytes;
      for (const s of this.undone) this.bytes -= s.bytes;
      this.undone = [];
      while (this.done.length > kHistorySteps || (this.bytes > kHistoryBytes && this.done.length > 1)) {
        this.bytes -= this.done.shift().bytes;
      }
      if (this.onChange) this.onChange(step);
    }

    apply(step, forward) {
      const c = step.cells;
      const order = forward ? [0, c.length, 4] : [c.length - 4, -4, -4];
      for (let i = order[0]; i !== order[1]; i += order[2]) {
        this.level.layers[c[i]][c[i + 1]] = forward ? c[i + 3] : c[i + 2];
        if (this.onCell) this.onCell(c[i + 1]);
      }
      if (step.lists) this.level.lists = cloneLists(forward ? step.lists.after : step.lists.before);
      if (this.onChange) this.onChange(step);
    }

    undo() {
      this.end();
      const step = this.done.pop();
      if (!step) return false;
      this.undone.push(step);
      this.apply(step, false);
      return true;
    }

    redo() {
      this.end();
      const step = this.undone.pop();
      if (!step) return false;
      this.done.push(step);
      this.apply(step, true);
      return true;
    }

    // Takes back the step under way and forgets it: a touch that turned out to be a gesture,
    // not a stroke. Steps already made stay.
    discard() {
      const open = this.open;
      this.open = null;
      if (!open) return;
      const c = open.cells;
      for (let i = c.length - 4; i >= 0; i -= 4) {
        this.level.layers[c[i]][c[i + 1]] = c[i + 2];
        if (this.onCell) this.onCell(c[i + 1]);
      }
      if (open.lists) this.level.lists = cloneLists(open.lists.before);
      if (this.onChange) this.onChange(null);
    }

    clear() {
      this.done = [];
      this.undone = [];
      this.open = null;
      this.bytes = 0;
    }
  }

  // The cells of a column range copied out: every layer, so a paste puts back all they held.
  function copyRegion(level, column0, row0, column1, row1) {
    const width = column1 - column0 + 1;
    const height = row1 - row0 + 1;
    const layers = level.layers.map((data) => {
      const out = new Int32Array(width * height);
      for (let c = 0; c < width; ++c)
        for (let r = 0; r < height; ++r) out[c * height + r] = data[cellIndex(column0 + c, row0 + r)];
      return out;
    });
    return { width, height, layers };
  }

  function pasteRegion(history, clip, column0, row0) {
    for (let k = 0; k < kLayerCount; ++k)
      for (let c = 0; c < clip.width; ++c)
        for (let r = 0; r < clip.height; ++r)
          history.set(k, column0 + c, row0 + r, clip.layers[k][c * clip.height + r]);
  }

  function clearRegion(history, column0, row0, column1, row1) {
    for (let k = 0; k < kLayerCount; ++k)
      for (let c = column0; c <= column1; ++c)
        for (let r = row0; r <= row1; ++r) history.set(k, c, r, resetValue(k));
  }

  // The row a player dropped into the column stands in: above its highest solid cell.
  function standingRow(level, column) {
    for (let r = 1; r < kRows; ++r) {
      const i = cellIndex(column, r);
      if (level.layers[L.ground][i] || level.layers[L.block][i]) return r - 1;
    }
    return 2;
  }

  // A copy of the level's bytes in which the player starts at (column, row): a start trigger
  // after all the others, linked from that cell (the game starts at the highest one linked).
  function startingAt(level, column, row) {
    const copy = {
      sizeA: level.sizeA,
      sizeB: level.sizeB,
      layers: level.layers.slice(),
      lists: cloneLists(level.lists),
    };
    copy.layers[L.trigger] = Int32Array.from(level.layers[L.trigger]);
    copy.lists.triggers.push({ kind: 3, unitType: 0, onlyCode: 0, column0: 0, column1: 0, row0: 0, row1: 0 });
    copy.layers[L.trigger][cellIndex(column, row)] = copy.lists.triggers.length - 1;
    return serializeLevel(copy);
  }

  const api = {
    kColumns,
    kRows,
    kCells,
    L,
    kLayerCount,
    resetValue,
    cellIndex,
    emptyLevel,
    parseLevel,
    serializeLevel,
    History,
    copyRegion,
    pasteRegion,
    clearRegion,
    standingRow,
    startingAt,
  };
  if (typeof module === 'object' && module.exports) module.exports = api;
  else root.BrinkhopLevel = api;
})(typeof window === 'object' ? window : globalThis);
