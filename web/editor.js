// The editor page: loads the level (the shared one in the link, the one kept in the
// browser's storage, or the shipped one), draws the cells in view with the game's pictures,
// turns pointer, finger and key presses into edits, plays the level in the game over the
// page, and keeps, opens, saves and shares it. window.brinkhopEditor is for tests and tools.
'use strict';

(function () {
  const M = window.BrinkhopLevel;
  const Share = window.BrinkhopShare;
  const L = M.L;
  const kCell = 32; // world pixels a cell
  const kLevels = [@BRINKHOP_WEB_LEVELS@]; // the levels beside the page a pipe may lead to
  const kStorageKey = 'brinkhop.editor.level';
  const kSaveDelay = 800; // ms after the last edit the level is kept
  const kCheckDelay = 400; // ms after the last edit the warnings are looked for
  const kLongPress = 550; // ms a still finger takes to pick
  const kMaxZoom = 4; // screen pixels a world pixel: a few cells fill the view
  const kViewWidth = 480; // the game's view, world pixels
  const kViewHeight = 320;
  const kSky = '#77c2e9'; // play's clear colour, under the sky's picture
  const kBackdropColours = [kSky, '#302428', '#282840'];
  // Play's outdoor backdrop, held still behind the level as play's camera on the usual route
  // shows it: the sky's picture (its top rows, deepening upwards) stretched from the level's
  // top down to there, then clouds and hills at their heights below that view's top.
  const kSkyPicture = 'backdrop_sky.png';
  const kSkyShownRows = 150; // of the sky's picture, as play shows it
  const kRouteTop = 39 * kCell - kViewHeight / 2; // world y of play's view top on the route
  const kOutdoorLayers = [
    ['backdrop_clouds.png', 0],
    ['backdrop_far.png', 70],
    ['backdrop_near.png', 110],
  ]; // picture, world px below kRouteTop
  // The dark backdrops' tiles, by kind (the sky is its colour), and the checkpoint's flag.
  const kBackdropPictures = [null, 'backdrop_cave.png', 'backdrop_castle.png'];
  const kCheckpointPicture = 'flag_down.png';
  const kKindColours = ['#ff8c00', '#e61e1e', '#c83cff', '#00e600', '#a0a0a0', '#fff000'];

  const $ = (id) => document.getElementById(id);
  const canvas = $('canvas');
  const ctx = canvas.getContext('2d');
  const statusLine = $('status');
  const say = (text) => (statusLine.textContent = text);

  let code = null; // the compiler and writer
  let tables = null;
  const pictures = new Map();
  let level = M.emptyLevel();
  let history = new M.History(level);
  let fileName = 'level';

  const view = { x: 0, y: 0, zoom: 1 }; // world pixel at the canvas's top left, and its scale
  const pointer = { column: -1, row: -1, inside: false };
  let tool = 'paint';
  let brush = null; // a palette entry: {symbol, note, cell: [ground, coin, block, unit, deco, reveal]}
  let showGrid = true;
  let selection = null; // {column0, row0, column1, row1}
  let clipboard = null;
  let drag = null; // what the press under way does
  let pendingArea = null; // a spawn's or reveal's first area, waiting for the cells that set it off
  let editing = null; // {index}: the trigger the next area drawn replaces
  let dirty = true;
  let warnings = [];
  let placeOptions = { message: 53, kind: 1, unitType: 0, backdrop: 1, warpLevel: kLevels.includes('bonus') ? 'bonus' : kLevels[0] || 'level', warpStart: 0 };

  // ---- the compiler and the writer ------------------------------------------------------

  function withBytes(bytes, run) {
    const at = code._malloc(bytes.length + 1);
    code.HEAPU8.set(bytes, at);
    try {
      return run(at, bytes.length);
    } finally {
      code._free(at);
    }
  }

  const build = (input, name) => Share.build(code, input, name);

  function writeText(bytes) {
    return withBytes(bytes, (at, size) => (code._editor_write(at, size) ? code.UTF8ToString(code._editor_text()) : ''));
  }

  function checkLines(bytes) {
    return withBytes(bytes, (at, size) =>
      code._editor_check(at, size) ? code.UTF8ToString(code._editor_text()).split('\n').filter(Boolean) : [],
    );
  }

  const text = () => writeText(M.serializeLevel(level));

  // ---- pictures -------------------------------------------------------------------------

  function loadPictures() {
    const names = new Set();
    const p = tables.pictures;
    for (const list of [p.ground, p.deco, p.unit]) for (const n of list) if (n) names.add(n);
    for (const n of Object.values(p.block)) if (n && n !== 'cracked') names.add(n);
    for (const n of [p.coin, p.font, p.player, kCheckpointPicture, kSkyPicture, ...kBackdropPictures]) if (n) names.add(n);
    for (const [n] of kOutdoorLayers) names.add(n);
    return Promise.all(
      [...names].map(
        (name) =>
          new Promise((resolve) => {
            const image = new Image();
            image.onload = () => {
              pictures.set(name, image);
              resolve();
            };
            image.onerror = () => resolve();
            image.src = 'pictures/' + name;
          }),
      ),
    );
  }

  const picture = (name) => (name ? pictures.get(name) : undefined);
  const groundPicture = (value) => picture(tables.pictures.ground[value - 1]);
  function blockPicture(block, ground) {
    const name = tables.pictures.block[block];
    if (name === 'cracked') return groundPicture(ground || 1);
    return picture(name);
  }

  // ---- drawing --------------------------------------------------------------------------

  function resize() {
    const ratio = window.devicePixelRatio || 1;
    const box = canvas.getBoundingClientRect();
    canvas.width = Math.max(1, Math.round(box.width * ratio));
    canvas.height = Math.max(1, Math.round(box.height * ratio));
    dirty = true;
  }

  const screenScale = () => view.zoom * (window.devicePixelRatio || 1);
  // Zoomed out, the level's whole height fits the view.
  const minZoom = () => Math.min(1, canvas.getBoundingClientRect().height / ((M.kRows + 2) * kCell));

  function clampView() {
    const s = screenScale();
    const width = canvas.width / s;
    const height = canvas.height / s;
    view.x = Math.min(Math.max(view.x, -kCell * 4), M.kColumns * kCell - width + kCell * 4);
    view.y = Math.min(Math.max(view.y, -kCell * 4), Math.max(-kCell * 4, M.kRows * kCell - height + kCell * 4));
  }

  function drawCell(ctx, c, r, x, y, size) {
    const i = M.cellIndex(c, r);
    const layers = level.layers;
    const ground = layers[L.ground][i];
    const hidden = layers[L.reveal][i] !== 1;
    const draw = (image) => image && ctx.drawImage(image, x, y, size, size);
    if (layers[L.coin][i]) draw(picture(tables.pictures.coin));
    // Hidden cells show faintly: the designer sees what the player finds.
    if (hidden) ctx.globalAlpha = 0.55;
    if (ground) draw(groundPicture(ground));
    const deco = layers[L.deco][i];
    if (deco) draw(picture(tables.pictures.deco[deco - 1]));
    const block = layers[L.block][i];
    if (block) {
      const image = blockPicture(block, ground);
      if (image) draw(image);
      else {
        ctx.fillStyle = '#5a5a5a';
        ctx.fillRect(x, y, size, size);
      }
    }
    ctx.globalAlpha = 1;
    if (hidden && block) {
      // A hidden box is what a trap level is made of: it keeps a dashed frame to be found by.
      ctx.strokeStyle = '#fff';
      ctx.lineWidth = 1;
      ctx.setLineDash([3, 3]);
      ctx.strokeRect(x + 1.5, y + 1.5, size - 3, size - 3);
      ctx.setLineDash([]);
    }
    const unit = layers[L.unit][i];
    if (unit > 0) {
      const image = picture(tables.pictures.unit[unit - 1]);
      if (image) draw(image);
      else {
        ctx.strokeStyle = '#f0f';
        ctx.strokeRect(x + 2, y + 2, size - 4, size - 4);
      }
    }
  }

  function drawText(column, row, label, s) {
    const font = picture(tables.pictures.font);
    const t = level.lists.texts[label];
    if (!font || !t) return;
    const glyph = 16 * s;
    for (let k = 0; k < t.text.length; ++k) {
      const code = t.text.charCodeAt(k) - 32;
      if (code <= 0) continue;
      ctx.drawImage(font, code * 16, 0, 16, 16, (column * kCell + k * 16 - view.x) * s, (row * kCell - view.y) * s, glyph, glyph);
    }
  }

  function startCell(of = level) {
    // As the game finds it: the last cell linked to the highest-indexed start trigger linked.
    const links = of.layers[L.trigger];
    let best = -1;
    let cell = -1;
    for (let i = 0; i < M.kCells; ++i) {
      const t = links[i];
      if (t < 0) continue;
      const index = t & 0xffff;
      const trigger = of.lists.triggers[index];
      if (!trigger || trigger.kind !== 3) continue;
      if (index >= best) {
        best = index;
        cell = i;
      }
    }
    return cell < 0 ? null : { column: Math.floor(cell / M.kRows), row: cell % M.kRows };
  }
  let start = null;

  function outline(column0, row0, column1, row1, colour, width, s) {
    ctx.strokeStyle = colour;
    ctx.lineWidth = width;
    ctx.strokeRect(
      (column0 * kCell - view.x) * s + width / 2,
      (row0 * kCell - view.y) * s + width / 2,
      (column1 - column0 + 1) * kCell * s - width,
      (row1 - row0 + 1) * kCell * s - width,
    );
  }

  // The cells are drawn a chunk at a time into pictures kept for the next frames, at the
  // nearest power-of-two scale at or above the view's, so a frame draws a few pictures
  // whatever the zoom; an edit redraws only the chunks of the cells it changed.
  const kChunkCells = 16;
  const kMaxChunks = 64; // about 1 MB each close up
  const chunks = new Map(); // "scale:column:row" -> {canvas, column, row, stale}, oldest first

  function chunkScale(s) {
    return Math.min(1, Math.pow(2, Math.ceil(Math.log2(Math.max(s, 1 / 16)))));
  }

  function chunkPicture(scale, cx, cy) {
    const key = scale + ':' + cx + ':' + cy;
    let chunk = chunks.get(key);
    if (chunk) chunks.delete(key);
    else {
      if (chunks.size >= kMaxChunks) chunks.delete(chunks.keys().next().value);
      const canvas = document.createElement('canvas');
      canvas.width = canvas.height = kChunkCells * kCell * scale;
      chunk = { canvas, column: cx, row: cy, stale: true };
    }
    chunks.set(key, chunk);
    if (chunk.stale) drawChunk(chunk, scale);
    return chunk.canvas;
  }

  // The outdoor backdrop over a chunk's picture whose top left is world (x0, y0).
  function drawSky(g, x0, y0, scale) {
    const { width, height } = g.canvas;
    g.fillStyle = kSky;
    g.fillRect(0, 0, width, height);
    const sky = picture(kSkyPicture);
    if (sky) g.drawImage(sky, 0, 0, sky.width, kSkyShownRows, 0, -y0 * scale, width, (kRouteTop + kSkyShownRows) * scale);
    for (const [name, top] of kOutdoorLayers) {
      const image = picture(name);
      if (!image) continue;
      const y = (kRouteTop + top - y0) * scale;
      if (y >= height) continue;
      // The nearest hills' foot goes on down to the level's bottom, as the ground under them would.
      const foot = name === kOutdoorLayers[kOutdoorLayers.length - 1][0];
      for (let x = Math.floor(x0 / image.width) * image.width; x < x0 + width / scale; x += image.width) {
        g.drawImage(image, (x - x0) * scale, y, image.width * scale, image.height * scale);
        if (foot) g.drawImage(image, 0, image.height - 1, image.width, 1, (x - x0) * scale, y + image.height * scale, image.width * scale, height);
      }
    }
  }

  function drawChunk(chunk, scale) {
    chunk.stale = false;
    const g = chunk.canvas.getContext('2d');
    g.imageSmoothingEnabled = false;
    const size = kCell * scale;
    const column0 = chunk.column * kChunkCells;
    const row0 = chunk.row * kChunkCells;
    // The sky, then the backdrop regions, the first on top as the first one holding a cell decides.
    drawSky(g, column0 * kCell, row0 * kCell, scale);
    for (const b of level.lists.backdrops.slice().reverse()) {
      const rect = [(b.column0 - column0) * size, (b.row0 - row0) * size, (b.column1 - b.column0 + 1) * size, (b.row1 - b.row0 + 1) * size];
      if (b.kind === 0) {
        // A sky region over a dark one shows the sky again.
        g.save();
        g.beginPath();
        g.rect(...rect);
        g.clip();
        drawSky(g, column0 * kCell, row0 * kCell, scale);
        g.restore();
        continue;
      }
      const tile = picture(kBackdropPictures[b.kind]);
      g.fillStyle = kBackdropColours[b.kind] || kSky;
      if (tile) {
        const pattern = g.createPattern(tile, 'repeat');
        pattern.setTransform(new DOMMatrix().scale(scale));
        g.fillStyle = pattern;
      }
      g.fillRect(...rect);
    }
    for (let c = 0; c < kChunkCells; ++c)
      for (let r = 0; r < kChunkCells && row0 + r < M.kRows; ++r) drawCell(g, column0 + c, row0 + r, c * size, r * size, size);
  }

  function cellChanged(index) {
    const cx = Math.floor(Math.floor(index / M.kRows) / kChunkCells);
    const cy = Math.floor((index % M.kRows) / kChunkCells);
    for (const chunk of chunks.values()) if (chunk.column === cx && chunk.row === cy) chunk.stale = true;
    dirty = true;
  }

  function allChanged() {
    for (const chunk of chunks.values()) chunk.stale = true;
    dirty = true;
  }

  let drawnCells = 0; // the cells the last frame drew, for the benchmark
  function draw() {
    dirty = false;
    clampView();
    const s = screenScale();
    const size = kCell * s;
    ctx.imageSmoothingEnabled = false;
    ctx.fillStyle = '#111';
    ctx.fillRect(0, 0, canvas.width, canvas.height);
    // Only the cells in view.
    const column0 = Math.max(0, Math.floor(view.x / kCell));
    const row0 = Math.max(0, Math.floor(view.y / kCell));
    const column1 = Math.min(M.kColumns - 1, Math.floor((view.x + canvas.width / s) / kCell));
    const row1 = Math.min(M.kRows - 1, Math.floor((view.y + canvas.height / s) / kCell));
    drawnCells = 0;
    const scale = chunkScale(s);
    const chunkWorld = kChunkCells * kCell;
    for (let cx = Math.floor(column0 / kChunkCells); cx <= Math.floor(column1 / kChunkCells); ++cx)
      for (let cy = Math.floor(row0 / kChunkCells); cy <= Math.floor(row1 / kChunkCells); ++cy) {
        const x = Math.floor((cx * chunkWorld - view.x) * s);
        const y = Math.floor((cy * chunkWorld - view.y) * s);
        const w = Math.floor(((cx + 1) * chunkWorld - view.x) * s) - x;
        const h = Math.floor(((cy + 1) * chunkWorld - view.y) * s) - y;
        ctx.drawImage(chunkPicture(scale, cx, cy), x, y, w, h);
      }
    drawnCells = (column1 - column0 + 1) * (row1 - row0 + 1);
    // Texts over the cells, trigger links as tints.
    const links = level.layers[L.trigger];
    const labels = level.layers[L.label];
    for (let c = column0; c <= column1; ++c)
      for (let r = row0; r <= row1; ++r) {
        const i = M.cellIndex(c, r);
        if (labels[i] >= 0) drawText(c, r, labels[i], s);
        const link = links[i];
        if (link >= 0) {
          const trigger = level.lists.triggers[link & 0xffff];
          ctx.fillStyle = (trigger ? kKindColours[trigger.kind] : '#fff') || '#fff';
          ctx.globalAlpha = 0.3;
          ctx.fillRect((c * kCell - view.x) * s, (r * kCell - view.y) * s, size, size);
          ctx.globalAlpha = 1;
        }
      }
    if (showGrid && size >= 6) {
      ctx.strokeStyle = 'rgba(0,0,0,0.25)';
      ctx.lineWidth = 1;
      ctx.beginPath();
      for (let c = column0; c <= column1 + 1; ++c) {
        const x = Math.floor((c * kCell - view.x) * s) + 0.5;
        ctx.moveTo(x, 0);
        ctx.lineTo(x, canvas.height);
      }
      for (let r = row0; r <= row1 + 1; ++r) {
        const y = Math.floor((r * kCell - view.y) * s) + 0.5;
        ctx.moveTo(0, y);
        ctx.lineTo(canvas.width, y);
      }
      ctx.stroke();
    }
    // The level's lists over the map.
    const lists = level.lists;
    const line = Math.max(1, Math.round(2 * (window.devicePixelRatio || 1)));
    if (lists.hasGoal) outline(lists.goal.column0, lists.goal.row0, lists.goal.column1, lists.goal.row1, '#ffd700', line * 2, s);
    for (const b of lists.backdrops) outline(b.column0, b.row0, b.column1, b.row1, '#88a', line, s);
    for (const cp of lists.checkpoints) {
      const image = picture(kCheckpointPicture);
      const x = (cp.column * kCell - view.x) * s;
      const y = (cp.row * kCell - view.y) * s;
      if (image) ctx.drawImage(image, x, y + size - image.height * s, image.width * s, image.height * s);
      else outline(cp.column, cp.row, cp.column, cp.row, '#e0393e', line * 2, s);
    }
    for (const w of lists.warps) outline(Math.floor(w.x / kCell), Math.floor(w.y / kCell), Math.floor(w.x / kCell), Math.floor(w.y / kCell), '#c83cff', line * 2, s);
    if (start) {
      const image = picture(tables.pictures.player);
      const x = (start.column * kCell - view.x) * s;
      const y = (start.row * kCell - view.y) * s;
      if (image) ctx.drawImage(image, x, y, size, size);
      outline(start.column, start.row, start.column, start.row, '#0e0', line, s);
    }
    if (selection) {
      ctx.setLineDash([6, 4]);
      outline(selection.column0, selection.row0, selection.column1, selection.row1, '#fff', line, s);
      ctx.setLineDash([]);
    }
    if (pendingArea) {
      const a = pendingArea.area;
      outline(a.column0, a.row0, a.column1, a.row1, '#e61e1e', line, s);
    }
    if (drag && drag.rect) {
      const r = drag.rect;
      outline(Math.min(r.c0, r.c1), Math.min(r.r0, r.r1), Math.max(r.c0, r.c1), Math.max(r.r0, r.r1), '#ff0', line, s);
    }
    if (pointer.inside && pointer.column >= 0) {
      outline(pointer.column, pointer.row, pointer.column, pointer.row, '#fff', line, s);
      // What the player would see standing here.
      const vx = (pointer.column * kCell + kCell / 2 - kViewWidth / 2 - view.x) * s;
      const vy = (pointer.row * kCell - 4 * kCell - view.y) * s;
      ctx.strokeStyle = 'rgba(255,255,255,0.6)';
      ctx.lineWidth = 1;
      ctx.setLineDash([4, 4]);
      ctx.strokeRect(vx, vy, kViewWidth * s, kViewHeight * s);
      ctx.setLineDash([]);
    }
  }

  function frame() {
    if (dirty) draw();
    requestAnimationFrame(frame);
  }

  // ---- the palette ----------------------------------------------------------------------

  const kEraser = { symbol: '.', note: 'empty', cell: [0, 0, 0, 0, 0, 0] };

  function brushPicture(entry) {
    const [ground, coin, block, unit, deco] = entry.cell;
    if (unit) return picture(tables.pictures.unit[unit - 1]);
    if (block) return blockPicture(block, ground);
    if (deco) return picture(tables.pictures.deco[deco - 1]);
    if (coin) return picture(tables.pictures.coin);
    if (ground) return groundPicture(ground);
    return null;
  }

  function buildPalette() {
    const palette = $('palette');
    const entries = tables.symbols.slice();
    // Every block code with a name the default characters leave out, and the pipes.
    const covered = new Set(entries.map((e) => e.cell[2]));
    for (const [code, name] of Object.entries(tables.blocks)) {
      if (!covered.has(Number(code))) entries.push({ symbol: '', note: name, cell: [0, 0, Number(code), 0, 0, 1] });
    }
    for (const entry of entries) {
      const button = document.createElement('button');
      button.title = entry.note + (entry.symbol ? ' (' + entry.symbol + ')' : '');
      const c = document.createElement('canvas');
      c.width = 32;
      c.height = 32;
      const g = c.getContext('2d');
      g.imageSmoothingEnabled = false;
      const image = brushPicture(entry);
      if (image) {
        if (!entry.cell[5]) g.globalAlpha = 0.6;
        g.drawImage(image, 0, 0, 32, 32);
      } else {
        g.fillStyle = '#fff';
        g.font = '20px monospace';
        g.fillText(entry.symbol || '?', 9, 24);
      }
      button.appendChild(c);
      button.dataset.note = entry.note;
      button.addEventListener('click', () => chooseBrush(entry, button));
      palette.appendChild(button);
      entry.button = button;
    }
    allEntries = entries;
    chooseBrush(entries[0], entries[0].button);
  }

  function chooseBrush(entry, button) {
    brush = entry;
    for (const b of $('palette').children) b.classList.toggle('on', b === button);
    $('brush').textContent = entry.note;
    if (!['paint', 'rect'].includes(tool)) chooseTool('paint');
  }

  // ---- edits ----------------------------------------------------------------------------

  const kMapLayers = [L.ground, L.coin, L.block, L.unit, L.deco, L.reveal];

  function paintCell(column, row, entry) {
    entry.cell.forEach((value, k) => history.set(kMapLayers[k], column, row, value));
  }

  function fillRect(c0, r0, c1, r1, entry) {
    history.begin();
    for (let c = Math.min(c0, c1); c <= Math.max(c0, c1); ++c)
      for (let r = Math.min(r0, r1); r <= Math.max(r0, r1); ++r) paintCell(c, r, entry);
    history.end();
  }

  function pickAt(column, row) {
    const i = M.cellIndex(column, row);
    const cell = kMapLayers.map((k) => level.layers[k][i]);
    const same = (e) => e.cell.every((v, k) => v === cell[k]);
    const found = paletteEntries().find(same);
    if (found) chooseBrush(found, found.button);
    else {
      const custom = { symbol: '', note: 'picked: ' + cell.join(' '), cell };
      brush = custom;
      $('brush').textContent = custom.note;
      chooseTool('paint');
    }
  }
  let allEntries = [];
  const paletteEntries = () => allEntries;

  function normal(r) {
    return { column0: Math.min(r.c0, r.c1), row0: Math.min(r.r0, r.r1), column1: Math.max(r.c0, r.c1), row1: Math.max(r.r0, r.r1) };
  }

  function copySelection(cut) {
    if (!selection) return;
    clipboard = M.copyRegion(level, selection.column0, selection.row0, selection.column1, selection.row1);
    if (cut) {
      history.begin();
      M.clearRegion(history, selection.column0, selection.row0, selection.column1, selection.row1);
      history.end();
    }
    say(cut ? 'Cut.' : 'Copied ' + clipboard.width + ' × ' + clipboard.height + ' cells.');
  }

  function clearSelection() {
    if (!selection) return;
    history.begin();
    M.clearRegion(history, selection.column0, selection.row0, selection.column1, selection.row1);
    history.end();
  }

  function paste(column, row) {
    if (!clipboard) return;
    history.begin();
    M.pasteRegion(history, clipboard, column, row);
    history.end();
    selection = { column0: column, row0: row, column1: column + clipboard.width - 1, row1: row + clipboard.height - 1 };
  }

  // Runs `change` as one step, or as part of the step already under way.
  function oneStep(change) {
    const outer = history.open;
    history.begin();
    change();
    if (!outer) history.end();
  }

  // A trigger kind's record over an area, and its link written into the area's cells.
  function addAreaTrigger(kind, area, index) {
    oneStep(() => {
      history.lists((lists) => {
        const record = { kind, unitType: 0, onlyCode: 0, column0: area.column0, column1: area.column1, row0: area.row0, row1: area.row1 };
        while (lists.triggers.length <= index) lists.triggers.push({ kind: 4, unitType: 0, onlyCode: 0, column0: 0, column1: 0, row0: 0, row1: 0 });
        lists.triggers[index] = record;
      });
      for (let c = area.column0; c <= area.column1; ++c)
        for (let r = area.row0; r <= area.row1; ++r) history.set(L.trigger, c, r, index);
    });
  }

  // A trigger taken out: the cells linking to it let go, and its slot stays, empty, so the
  // triggers after it keep their places (a message is known by its slot).
  function removeTrigger(index) {
    oneStep(() => {
      const links = level.layers[L.trigger];
      for (let i = 0; i < M.kCells; ++i)
        if (links[i] >= 0 && (links[i] & 0xffff) === index) history.set(L.trigger, Math.floor(i / M.kRows), i % M.kRows, -1);
      history.lists((l) => (l.triggers[index] = { kind: 4, unitType: 0, onlyCode: 0, column0: 0, column1: 0, row0: 0, row1: 0 }));
    });
  }

  // The list's edit button: the trigger's tool with its message or unit chosen; the next area
  // drawn replaces it.
  function editTrigger(index) {
    const t = level.lists.triggers[index];
    if (t.kind === 5) placeOptions.message = index;
    if (t.kind === 1) placeOptions.unitType = t.unitType;
    chooseTool(t.kind === 5 ? 'message' : t.kind === 1 ? 'spawn' : 'reveal');
    editing = { index };
    if (t.kind === 5) say('Draw the message’s new area (pick another message first to change it).');
  }

  function placeArea(kind, area) {
    const lists = level.lists;
    if (kind === 'message') {
      history.begin();
      if (editing) removeTrigger(editing.index);
      addAreaTrigger(5, area, placeOptions.message);
      history.end();
      editing = null;
    } else if (kind === 'spawn' || kind === 'reveal') {
      // Two areas: where the units come out (or the hidden cells show), then the cells that
      // set it off when the player touches them.
      if (!pendingArea || pendingArea.kind !== kind) {
        pendingArea = { kind, area };
        say('Now draw the cells that set it off when the player touches them.');
        return;
      }
      const target = pendingArea.area;
      pendingArea = null;
      const index = editing ? editing.index : lists.triggers.length;
      history.begin();
      if (editing) removeTrigger(index);
      editing = null;
      history.lists(
        (l) =>
          (l.triggers[index] = { kind: kind === 'spawn' ? 1 : 0, unitType: kind === 'spawn' ? placeOptions.unitType : 0, onlyCode: 0, column0: target.column0, column1: target.column1, row0: target.row0, row1: target.row1 }),
      );
      for (let c = area.column0; c <= area.column1; ++c)
        for (let r = area.row0; r <= area.row1; ++r) history.set(L.trigger, c, r, index);
      history.end();
      say('Trigger ' + index + ' placed.');
    } else if (kind === 'goal') {
      history.lists((l) => {
        l.hasGoal = true;
        l.goal = area;
      });
    } else if (kind === 'backdrop') {
      history.lists((l) => l.backdrops.push({ ...area, kind: placeOptions.backdrop }));
    }
  }

  function placeAt(kind, column, row) {
    if (kind === 'text') {
      const typed = window.prompt('The sign (up to 127 letters):', 'HELLO');
      if (!typed) return;
      const sign = typed.toUpperCase().slice(0, 127);
      history.begin();
      let index = level.lists.texts.findIndex((t) => t.text === sign);
      if (index < 0) {
        index = level.lists.texts.length;
        history.lists((l) => l.texts.push({ skipped: 0, text: sign }));
      }
      history.set(L.label, column, row, index);
      history.set(L.reveal, column, row, 1);
      history.end();
    } else if (kind === 'checkpoint') {
      history.lists((l) => {
        l.checkpoints.push({ column, row });
        l.checkpoints.sort((a, b) => a.column - b.column);
      });
    } else if (kind === 'warp') {
      const name = placeOptions.warpLevel;
      const startIndex = placeOptions.warpStart;
      const block = level.layers[L.block][M.cellIndex(column, row)];
      const direction = block === 25 || block === 26 ? 2 : 1;
      history.lists((l) => {
        l.warps = l.warps.filter((w) => Math.floor(w.x / kCell) !== column || Math.floor(w.y / kCell) !== row);
        l.warps.push({ x: column * kCell, y: row * kCell, direction, startIndex, fileName: name });
      });
      say('The pipe at ' + column + ', ' + row + ' leads to ' + name + ', start ' + startIndex + '.');
    }
  }

  function moveStart(column, row) {
    const old = startCell();
    history.begin();
    let index = level.lists.triggers.findIndex((t) => t.kind === 3);
    if (index < 0) {
      index = level.lists.triggers.length;
      history.lists((l) => l.triggers.push({ kind: 3, unitType: 0, onlyCode: 0, column0: 0, column1: 0, row0: 0, row1: 0 }));
    }
    // Every cell linking a start goes, so the one start is where it was put.
    if (old) history.set(L.trigger, old.column, old.row, -1);
    history.set(L.trigger, column, row, index);
    history.end();
  }

  // ---- pointer, fingers and keys --------------------------------------------------------

  function cellAt(clientX, clientY) {
    const box = canvas.getBoundingClientRect();
    const s = view.zoom;
    const x = view.x + (clientX - box.left) / s;
    const y = view.y + (clientY - box.top) / s;
    return { column: Math.floor(x / kCell), row: Math.floor(y / kCell), x, y };
  }

  function zoomAt(factor, clientX, clientY) {
    const before = cellAt(clientX, clientY);
    view.zoom = Math.min(kMaxZoom, Math.max(minZoom(), view.zoom * factor));
    const box = canvas.getBoundingClientRect();
    view.x = before.x - (clientX - box.left) / view.zoom;
    view.y = before.y - (clientY - box.top) / view.zoom;
    dirty = true;
  }

  const touches = new Map();
  let longPress = 0;
  let spaceHeld = false;

  function press(e) {
    canvas.focus();
    const at = cellAt(e.clientX, e.clientY);
    if (e.pointerType === 'touch') {
      touches.set(e.pointerId, { x: e.clientX, y: e.clientY });
      if (touches.size === 2) {
        // A second finger: the stroke of the first is taken back, the two scroll and zoom.
        clearTimeout(longPress);
        if (drag && drag.painted) history.discard();
        drag = { kind: 'pinch', ...pinchOf() };
        return;
      }
      if (touches.size > 2) return;
      longPress = setTimeout(() => {
        if (drag && !drag.moved) {
          if (drag.painted) history.discard();
          pickAt(at.column, at.row);
          drag = null;
        }
      }, kLongPress);
    }
    if (e.button === 1 || e.button === 2 || spaceHeld) {
      drag = { kind: 'scroll', x: e.clientX, y: e.clientY, vx: view.x, vy: view.y };
      return;
    }
    canvas.setPointerCapture(e.pointerId);
    drag = { kind: tool, start: at, moved: false, painted: false, last: at };
    if (tool === 'paint' || tool === 'erase') {
      history.begin();
      paintCell(at.column, at.row, tool === 'erase' ? kEraser : brush);
      drag.painted = true;
    } else if (tool === 'pick') {
      pickAt(at.column, at.row);
      drag = null;
    } else if (tool === 'start') {
      drag.cell = at;
    } else if (['rect', 'message', 'spawn', 'reveal', 'goal', 'backdrop'].includes(tool)) {
      drag.rect = { c0: at.column, r0: at.row, c1: at.column, r1: at.row };
    } else if (tool === 'select') {
      const inside = selection && at.column >= selection.column0 && at.column <= selection.column1 && at.row >= selection.row0 && at.row <= selection.row1;
      if (inside) {
        drag = { kind: 'move', start: at, clip: M.copyRegion(level, selection.column0, selection.row0, selection.column1, selection.row1), from: { ...selection } };
      } else {
        drag.rect = { c0: at.column, r0: at.row, c1: at.column, r1: at.row };
      }
    }
    dirty = true;
  }

  function pinchOf() {
    const [a, b] = [...touches.values()];
    return { cx: (a.x + b.x) / 2, cy: (a.y + b.y) / 2, distance: Math.hypot(a.x - b.x, a.y - b.y) || 1 };
  }

  function move(e) {
    const at = cellAt(e.clientX, e.clientY);
    if (at.column !== pointer.column || at.row !== pointer.row) dirty = true;
    pointer.column = at.column;
    pointer.row = at.row;
    pointer.inside = true;
    $('where').textContent = 'column ' + at.column + ', row ' + at.row;
    if (e.pointerType === 'touch' && touches.has(e.pointerId)) touches.set(e.pointerId, { x: e.clientX, y: e.clientY });
    if (!drag) return;
    if (drag.kind === 'pinch') {
      if (touches.size < 2) return;
      const now = pinchOf();
      view.x -= (now.cx - drag.cx) / view.zoom;
      view.y -= (now.cy - drag.cy) / view.zoom;
      zoomAt(now.distance / drag.distance, now.cx, now.cy);
      Object.assign(drag, now);
      return;
    }
    if (drag.kind === 'scroll') {
      view.x = drag.vx - (e.clientX - drag.x) / view.zoom;
      view.y = drag.vy - (e.clientY - drag.y) / view.zoom;
      dirty = true;
      return;
    }
    if (at.column !== drag.last.column || at.row !== drag.last.row) {
      drag.moved = true;
      clearTimeout(longPress);
    }
    if (drag.kind === 'paint' || drag.kind === 'erase') {
      // Every cell on the way, however fast the pointer moves.
      const steps = Math.max(Math.abs(at.column - drag.last.column), Math.abs(at.row - drag.last.row));
      for (let k = 1; k <= steps; ++k) {
        const c = Math.round(drag.last.column + ((at.column - drag.last.column) * k) / steps);
        const r = Math.round(drag.last.row + ((at.row - drag.last.row) * k) / steps);
        paintCell(c, r, drag.kind === 'erase' ? kEraser : brush);
      }
    } else if (drag.rect) {
      drag.rect.c1 = at.column;
      drag.rect.r1 = at.row;
    } else if (drag.kind === 'start') {
      drag.cell = at;
      start = { column: at.column, row: at.row };
    } else if (drag.kind === 'move') {
      const dc = at.column - drag.start.column;
      const dr = at.row - drag.start.row;
      selection = { column0: drag.from.column0 + dc, row0: drag.from.row0 + dr, column1: drag.from.column1 + dc, row1: drag.from.row1 + dr };
    }
    drag.last = at;
    dirty = true;
  }

  function release(e) {
    if (e.pointerType === 'touch') {
      touches.delete(e.pointerId);
      clearTimeout(longPress);
      if (drag && drag.kind === 'pinch') {
        if (touches.size === 0) drag = null;
        return;
      }
    }
    if (!drag) return;
    const d = drag;
    drag = null;
    if (d.kind === 'paint' || d.kind === 'erase') history.end();
    else if (d.kind === 'rect') fillRect(d.rect.c0, d.rect.r0, d.rect.c1, d.rect.r1, brush);
    else if (d.kind === 'select') selection = normal(d.rect);
    else if (d.kind === 'start') moveStart(d.cell.column, d.cell.row);
    else if (d.kind === 'move') {
      const dc = selection.column0 - d.from.column0;
      const dr = selection.row0 - d.from.row0;
      if (dc || dr) {
        history.begin();
        M.clearRegion(history, d.from.column0, d.from.row0, d.from.column1, d.from.row1);
        M.pasteRegion(history, d.clip, selection.column0, selection.row0);
        history.end();
      }
    } else if (['message', 'spawn', 'reveal', 'goal', 'backdrop'].includes(d.kind)) placeArea(d.kind, normal(d.rect));
    else if (['text', 'checkpoint', 'warp'].includes(d.kind)) placeAt(d.kind, d.start.column, d.start.row);
    dirty = true;
  }

  canvas.addEventListener('pointerdown', press);
  canvas.addEventListener('pointermove', move);
  canvas.addEventListener('pointerup', release);
  canvas.addEventListener('pointercancel', release);
  canvas.addEventListener('pointerleave', () => {
    pointer.inside = false;
    dirty = true;
  });
  canvas.addEventListener('contextmenu', (e) => e.preventDefault());
  canvas.addEventListener(
    'wheel',
    (e) => {
      e.preventDefault();
      if (e.ctrlKey || e.metaKey) zoomAt(Math.exp(-e.deltaY / 300), e.clientX, e.clientY);
      else {
        view.x += (e.shiftKey ? e.deltaY : e.deltaX || e.deltaY) / view.zoom;
        if (!e.shiftKey && e.deltaX) view.y += e.deltaY / view.zoom;
        dirty = true;
      }
    },
    { passive: false },
  );

  function chooseTool(name) {
    tool = name;
    for (const b of document.querySelectorAll('[data-tool]')) b.classList.toggle('on', b.dataset.tool === name);
    showPlaceOptions();
    if (name !== 'select') selection = null;
    if (name === 'spawn' || name === 'reveal') say('Draw where ' + (name === 'spawn' ? 'the units come out' : 'hidden cells show') + ', then the cells that set it off.');
    pendingArea = null;
    editing = null;
    dirty = true;
  }
  for (const b of document.querySelectorAll('[data-tool]')) b.addEventListener('click', () => chooseTool(b.dataset.tool));

  function showPlaceOptions() {
    const box = $('placeOptions');
    box.textContent = '';
    const select = (label, options, key, as = Number) => {
      const s = document.createElement('select');
      for (const [value, name] of options) {
        const o = document.createElement('option');
        o.value = value;
        o.textContent = name;
        o.selected = String(placeOptions[key]) === String(value);
        s.appendChild(o);
      }
      s.addEventListener('change', () => (placeOptions[key] = as(s.value)));
      const l = document.createElement('label');
      l.textContent = label + ' ';
      l.appendChild(s);
      box.appendChild(l);
      return s;
    };
    if (tool === 'message') {
      select('Message', Object.entries(tables.triggerMessages).map(([t, m]) => [t, tables.messages[m]]), 'message').id = 'messageChoice';
    } else if (tool === 'spawn') {
      select('Unit', Object.entries(tables.units), 'unitType');
    } else if (tool === 'backdrop') {
      select('Backdrop', [[0, 'sky'], [1, 'cave'], [2, 'castle']], 'backdrop');
    } else if (tool === 'warp') {
      const levelChoice = select('Leads to', kLevels.map((name) => [name, name]), 'warpLevel', String);
      levelChoice.id = 'warpLevel';
      const startChoice = select('at', [[placeOptions.warpStart, 'start ' + placeOptions.warpStart]], 'warpStart');
      startChoice.id = 'warpStart';
      const fill = async () => {
        const name = placeOptions.warpLevel;
        const starts = await levelStarts(name);
        if (name !== placeOptions.warpLevel || !startChoice.isConnected) return;
        startChoice.textContent = '';
        for (const st of starts.length ? starts : [{ index: 0, column: -1, row: -1 }]) {
          const o = document.createElement('option');
          o.value = st.index;
          o.textContent = 'start ' + st.index + (st.column >= 0 ? ': column ' + st.column + ', row ' + st.row : '');
          o.selected = st.index === placeOptions.warpStart;
          startChoice.appendChild(o);
        }
        placeOptions.warpStart = Number(startChoice.value);
        startChoice.dataset.ready = name;
      };
      levelChoice.addEventListener('change', () => {
        placeOptions.warpStart = 0;
        fill();
      });
      fill();
    }
  }

  // The start points of a level beside the page, where the game puts a player a pipe brings
  // there. Levels have only start point 0; a pipe naming another comes out there too.
  const starts = new Map();
  function levelStarts(name) {
    if (!starts.has(name)) {
      const found = fetch('levels/' + name + '.gz')
        .then((response) => {
          if (!response.ok) throw new Error(response.statusText);
          return new Response(response.body.pipeThrough(new DecompressionStream('gzip'))).arrayBuffer();
        })
        .then((buffer) => {
          const cell = startCell(M.parseLevel(new Uint8Array(buffer)));
          return cell ? [{ index: 0, ...cell }] : [];
        })
        .catch(() => []);
      starts.set(name, found);
    }
    return starts.get(name);
  }

  const kToolKeys = { b: 'paint', e: 'erase', r: 'rect', i: 'pick', s: 'select', t: 'start' };
  const kScrollStep = 4 * kCell;
  window.addEventListener('keydown', (e) => {
    if (document.body.classList.contains('playing')) return;
    if (e.target instanceof HTMLInputElement || e.target instanceof HTMLSelectElement) return;
    const ctrl = e.ctrlKey || e.metaKey;
    const key = e.key.toLowerCase();
    let handled = true;
    if (ctrl && key === 'z' && !e.shiftKey) history.undo();
    else if (ctrl && (key === 'y' || (key === 'z' && e.shiftKey))) history.redo();
    else if (ctrl && key === 'c') copySelection(false);
    else if (ctrl && key === 'x') copySelection(true);
    else if (ctrl && key === 'v') paste(Math.max(0, pointer.column), Math.max(0, pointer.row));
    else if (ctrl) handled = false;
    else if (e.key === 'Delete' || e.key === 'Backspace') clearSelection();
    else if (key === 'p') play(e.shiftKey ? viewColumn() : -1);
    else if (kToolKeys[key]) chooseTool(kToolKeys[key]);
    else if (key === 'g') ($('grid').classList.toggle('on'), (showGrid = !showGrid));
    else if (e.key === '+' || e.key === '=') zoomAt(1.25, ...centre());
    else if (e.key === '-') zoomAt(0.8, ...centre());
    else if (e.key === 'ArrowLeft') view.x -= kScrollStep;
    else if (e.key === 'ArrowRight') view.x += kScrollStep;
    else if (e.key === 'ArrowUp') view.y -= kScrollStep;
    else if (e.key === 'ArrowDown') view.y += kScrollStep;
    else if (e.key === ' ') spaceHeld = true;
    else if (e.key === '?') $('help').classList.toggle('shown');
    else if (e.key === 'Escape') ((selection = null), $('help').classList.remove('shown'));
    else handled = false;
    if (handled) {
      e.preventDefault();
      dirty = true;
    }
  });
  window.addEventListener('keyup', (e) => e.key === ' ' && (spaceHeld = false));

  function centre() {
    const box = canvas.getBoundingClientRect();
    return [box.left + box.width / 2, box.top + box.height / 2];
  }
  function viewColumn() {
    const box = canvas.getBoundingClientRect();
    return Math.max(0, Math.min(M.kColumns - 1, Math.floor((view.x + box.width / view.zoom / 2) / kCell)));
  }

  $('undo').addEventListener('click', () => history.undo());
  $('redo').addEventListener('click', () => history.redo());
  $('zoomIn').addEventListener('click', () => zoomAt(1.25, ...centre()));
  $('zoomOut').addEventListener('click', () => zoomAt(0.8, ...centre()));
  $('grid').addEventListener('click', () => {
    showGrid = !showGrid;
    $('grid').classList.toggle('on', showGrid);
    dirty = true;
  });
  $('helpButton').addEventListener('click', () => $('help').classList.toggle('shown'));
  $('helpClose').addEventListener('click', () => $('help').classList.remove('shown'));

  // ---- after every change ---------------------------------------------------------------

  let saveTimer = 0;
  let checkTimer = 0;
  function changed(step) {
    if (!step || step.lists) allChanged();
    dirty = true;
    start = startCell();
    clearTimeout(saveTimer);
    saveTimer = setTimeout(keep, kSaveDelay);
    clearTimeout(checkTimer);
    checkTimer = setTimeout(showWarnings, kCheckDelay);
    showLists();
  }

  function keep() {
    saveTimer = 0;
    try {
      window.localStorage.setItem(kStorageKey, text());
      return true;
    } catch (error) {
      say('This browser does not keep the level (' + (error && error.name === 'QuotaExceededError' ? 'its storage is full' : 'storage is turned off') + '): Save or Share it before you leave.');
      return false;
    }
  }

  function goTo(column, row) {
    const box = canvas.getBoundingClientRect();
    view.x = column * kCell - box.width / view.zoom / 2;
    view.y = row * kCell - box.height / view.zoom / 2;
    pointer.column = column;
    pointer.row = row;
    pointer.inside = true;
    $('where').textContent = 'column ' + column + ', row ' + row;
    dirty = true;
  }

  function warningCell(line) {
    let m = /\((\d+), (\d+)\)/.exec(line);
    if (m) return [Number(m[1]), Number(m[2])];
    m = /^trigger (\d+)/.exec(line);
    if (m && level.lists.triggers[m[1]]) return [level.lists.triggers[m[1]].column0, level.lists.triggers[m[1]].row0];
    m = /^warp (\d+)/.exec(line);
    if (m && level.lists.warps[m[1]]) return [Math.floor(level.lists.warps[m[1]].x / kCell), Math.floor(level.lists.warps[m[1]].y / kCell)];
    return null;
  }

  function showWarnings() {
    checkTimer = 0;
    const lines = checkLines(M.serializeLevel(level));
    level.lists.warps.forEach((w, i) => {
      if (!kLevels.includes(w.fileName)) lines.push('warp ' + i + ': the pipe leads to a level "' + w.fileName + '" this game does not have');
    });
    warnings = lines.map((line) => ({ line, cell: warningCell(line) }));
    const box = $('warnings');
    box.textContent = warnings.length ? '' : 'None.';
    for (const w of warnings) {
      const a = document.createElement('a');
      a.href = '#';
      a.textContent = w.line;
      a.addEventListener('click', (e) => {
        e.preventDefault();
        if (w.cell) goTo(...w.cell);
      });
      box.appendChild(a);
    }
  }

  function showLists() {
    const box = $('lists');
    box.textContent = '';
    const lists = level.lists;
    const item = (label, cell, remove, edit) => {
      const d = document.createElement('div');
      d.className = 'item';
      d.textContent = label;
      d.addEventListener('click', () => cell && goTo(...cell));
      if (remove) {
        const x = document.createElement('button');
        x.textContent = '×';
        x.title = 'Remove';
        x.style.cssText = 'float:right;padding:0 5px';
        x.addEventListener('click', (e) => {
          e.stopPropagation();
          remove();
        });
        d.prepend(x);
      }
      if (edit) {
        const e = document.createElement('button');
        e.textContent = '✎';
        e.title = 'Edit: draw it again';
        e.className = 'edit';
        e.style.cssText = 'float:right;padding:0 5px';
        e.addEventListener('click', (event) => {
          event.stopPropagation();
          edit();
        });
        d.prepend(e);
      }
      box.appendChild(d);
    };
    lists.texts.forEach((t, i) => item('text ' + i + ': "' + t.text + '"', null, null));
    lists.triggers.forEach((t, i) => {
      if (t.kind === 4) return;
      const name = t.kind === 5 && tables.triggerMessages[i] !== undefined ? tables.messages[tables.triggerMessages[i]] : tables.kinds[t.kind];
      // The start moves with its own tool; the areas are taken out or drawn again here.
      const area = t.kind === 0 || t.kind === 1 || t.kind === 5;
      item(
        'trigger ' + i + ': ' + name + ' ' + t.column0 + ',' + t.row0 + '–' + t.column1 + ',' + t.row1,
        [t.column0, t.row0],
        t.kind === 3 ? null : () => removeTrigger(i),
        area ? () => editTrigger(i) : null,
      );
    });
    lists.warps.forEach((w, i) => item('pipe ' + i + ' → ' + w.fileName + ' start ' + w.startIndex, [Math.floor(w.x / kCell), Math.floor(w.y / kCell)], () => history.lists((l) => l.warps.splice(i, 1))));
    lists.checkpoints.forEach((c, i) => item('checkpoint ' + c.column + ', ' + c.row, [c.column, c.row], () => history.lists((l) => l.checkpoints.splice(i, 1))));
    if (lists.hasGoal) item('goal ' + lists.goal.column0 + ', ' + lists.goal.row0, [lists.goal.column0, lists.goal.row0], () => history.lists((l) => (l.hasGoal = false)));
    lists.backdrops.forEach((b, i) => item('backdrop ' + ['sky', 'cave', 'castle'][b.kind] + ' ' + b.column0 + '–' + b.column1, [b.column0, b.row0], () => history.lists((l) => l.backdrops.splice(i, 1))));
  }

  // ---- loading, keeping, sharing --------------------------------------------------------

  function setLevel(bytes, name) {
    level = M.parseLevel(bytes);
    history = new M.History(level);
    history.onChange = changed;
    history.onCell = cellChanged;
    allChanged();
    fileName = name || 'level';
    selection = null;
    changed();
    showWarnings();
  }

  // Builds and shows a level; a text that does not build leaves the level as it was.
  function load(input, name) {
    const result = build(input, name || 'level');
    if (result.error) throw new Error(result.error);
    setLevel(result.bytes, name);
    return true;
  }

  async function shippedLevel() {
    const response = await fetch('levels/level.gz');
    const stream = response.body.pipeThrough(new DecompressionStream('gzip'));
    return new Uint8Array(await new Response(stream).arrayBuffer());
  }

  function emptyWithStart() {
    const l = M.emptyLevel();
    for (let c = 0; c < 40; ++c)
      for (let r = 12; r < 16; ++r) {
        l.layers[L.ground][M.cellIndex(c, r)] = 1;
        l.layers[L.reveal][M.cellIndex(c, r)] = 1;
      }
    l.lists.triggers.push({ kind: 3, unitType: 0, onlyCode: 0, column0: 0, column1: 0, row0: 0, row1: 0 });
    l.layers[L.trigger][M.cellIndex(2, 11)] = 0;
    return M.serializeLevel(l);
  }

  $('new').addEventListener('click', () => {
    if (!window.confirm('Start a new level? (Undo brings this one back only until you reload.)')) return;
    setLevel(emptyWithStart(), 'level');
    goTo(10, 10);
    say('A new level.');
  });

  $('open').addEventListener('click', () => $('file').click());
  $('file').addEventListener('change', async () => {
    const file = $('file').files[0];
    $('file').value = '';
    if (!file) return;
    const bytes = new Uint8Array(await file.arrayBuffer());
    const name = file.name.replace(/\.txt$/, '');
    try {
      load(bytes, name);
      say('Opened ' + file.name + '.');
    } catch (error) {
      say(file.name + ' is not a level: ' + error.message);
    }
  });

  function download(name, body, type) {
    const a = document.createElement('a');
    a.href = URL.createObjectURL(new Blob([body], { type }));
    a.download = name;
    document.body.appendChild(a);
    a.click();
    setTimeout(() => (URL.revokeObjectURL(a.href), a.remove()), 1000);
  }
  $('save').addEventListener('click', () => {
    download(fileName + '.txt', text(), 'text/plain');
    say('Saved ' + fileName + '.txt.');
  });

  async function shareLink() {
    const fragment = await Share.encode(text());
    return new URL('index.html#' + fragment, window.location.href).href;
  }
  $('share').addEventListener('click', async () => {
    const link = await shareLink();
    let copied = false;
    try {
      await navigator.clipboard.writeText(link);
      copied = true;
    } catch {
      window.prompt('The link to your level:', link);
    }
    const size = (link.length / 1024).toFixed(1) + ' KB';
    say((copied ? 'The link is copied (' : 'The link (') + size + ')' + (link.length > Share.kMaxLinkBytes ? ': longer than 16 KB, some places will cut it' : '') + '.');
  });

  // ---- playing --------------------------------------------------------------------------

  let frameElement = null;
  function play(column) {
    let bytes = M.serializeLevel(level);
    if (column >= 0) bytes = M.startingAt(level, column, M.standingRow(level, column));
    window.brinkhopPlayedLevel = bytes;
    closePlay();
    frameElement = document.createElement('iframe');
    frameElement.src = 'index.html?from=editor';
    frameElement.title = 'Brinkhop';
    $('play').appendChild(frameElement);
    document.body.classList.add('playing');
    frameElement.addEventListener('load', () => {
      const game = frameElement.contentWindow;
      game.addEventListener('keydown', (e) => e.key === 'Escape' && (e.stopImmediatePropagation(), closePlay()), true);
      // The start screen is passed at once: the designer pressed Play already.
      game.brinkhop.ready.then(() => {
        for (const type of ['keydown', 'keyup'])
          game.dispatchEvent(new game.KeyboardEvent(type, { key: 'Enter', code: 'Enter', bubbles: true }));
        frameElement.focus();
        game.focus();
      });
    });
    return new Promise((resolve) => frameElement.addEventListener('load', () => frameElement.contentWindow.brinkhop.ready.then(resolve)));
  }

  function closePlay() {
    if (!frameElement) return;
    frameElement.remove();
    frameElement = null;
    document.body.classList.remove('playing');
    canvas.focus();
    dirty = true;
  }
  $('back').addEventListener('click', closePlay);
  $('playStart').addEventListener('click', () => play(-1));
  $('playHere').addEventListener('click', () => play(viewColumn()));

  // ---- start ----------------------------------------------------------------------------

  let resolveReady;
  const ready = new Promise((resolve) => (resolveReady = resolve));
  window.brinkhopEditor = {
    ready,
    text,
    load: (source) => load(source, 'level'),
    shareLink,
    play,
    back: closePlay,
    view: () => ({ ...view, column: viewColumn(), drawnCells }),
    goTo,
    // Draws the view now; the milliseconds it took.
    redraw: (everything) => {
      if (everything) allChanged();
      const begin = performance.now();
      draw();
      return performance.now() - begin;
    },
    setZoom: (zoom) => {
      view.zoom = Math.min(kMaxZoom, Math.max(minZoom(), zoom));
      dirty = true;
    },
    history: () => ({ steps: history.done.length, bytes: history.bytes }),
    game: () => (frameElement ? frameElement.contentWindow : null),
    warnings: () => warnings.map((w) => w.line),
    level: () => level,
  };

  async function startEditor() {
    code = await window.BrinkhopEditorCode();
    tables = JSON.parse(code.UTF8ToString(code._editor_tables()));
    await loadPictures();
    buildPalette();
    new ResizeObserver(resize).observe(canvas);
    resize();
    let source = null;
    let note = '';
    try {
      const shared = await Share.decode(window.location.hash);
      if (shared !== null) {
        source = shared;
        note = 'A copy of the shared level.';
      }
    } catch (error) {
      note = 'The link’s level cannot be read: ' + error.message + '.';
    }
    if (source === null) {
      try {
        source = window.localStorage.getItem(kStorageKey);
        if (source) note = 'Your level, as you left it.';
      } catch {
        note = 'This browser does not keep the level (storage is turned off): Save or Share it before you leave.';
      }
    }
    let loaded = false;
    if (source) {
      try {
        loaded = load(source, 'level');
      } catch (error) {
        note = 'The kept level does not build (' + error.message + '); the shipped level is open instead.';
      }
    }
    if (!loaded) {
      load(await shippedLevel(), 'level');
      if (!note) note = 'The shipped level is open: edit it, or start a New one.';
    }
    const s = startCell();
    view.zoom = 1;
    goTo(s ? s.column + 8 : 10, s ? s.row : 20);
    pointer.inside = false;
    if (window.location.hash) window.history.replaceState(null, '', window.location.pathname + window.location.search);
    say(note);
    requestAnimationFrame(frame);
    resolveReady();
  }
  startEditor().catch((error) => say('The editor cannot start: ' + error.message));
})();
