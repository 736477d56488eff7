// The page around the game: fits the landscape picture to the window, offers full screen, asks
// for landscape on phones, shows the loading line, and starts brinkhop.js. It also defines
// window.brinkhop, the interface tests and tools rely on: `ready`, `trace()`, `frame()` and
// `randomSequence()`.
'use strict';

(function () {
  const kWidth = 480; // the landscape picture, in game pixels
  const kHeight = 320;
  const kButtonRoom = 48; // CSS pixels of black bar the full-screen button needs
  const kLevels = [@BRINKHOP_WEB_LEVELS@]; // levels/NAME.gz, written to /data/NAME
  const body = document.body;
  const stage = document.getElementById('stage');
  const screen = document.getElementById('screen');
  const note = document.getElementById('note');
  const fullscreenButton = document.getElementById('fullscreen');

  function say(text) {
    note.textContent = text;
    note.style.display = text ? 'block' : 'none';
  }

  // The largest 3:2 box in the window, in whole device pixels so the picture stays sharp.
  function layout() {
    const ratio = window.devicePixelRatio || 1;
    const width = window.innerWidth;
    const height = window.innerHeight;
    body.classList.toggle('portrait', width < height);
    const scale = Math.min((width * ratio) / kWidth, (height * ratio) / kHeight);
    const boxWidth = Math.max(1, Math.floor(kWidth * scale)) / ratio;
    const boxHeight = Math.max(1, Math.floor(kHeight * scale)) / ratio;
    stage.style.width = boxWidth + 'px';
    stage.style.height = boxHeight + 'px';
    stage.style.left = Math.round(((width - boxWidth) / 2) * ratio) / ratio + 'px';
    stage.style.top = Math.round(((height - boxHeight) / 2) * ratio) / ratio + 'px';
    // The canvas is portrait and turned, so its width is the box's height.
    screen.style.width = boxHeight + 'px';
    screen.style.height = boxWidth + 'px';
    // The full-screen button sits in a black bar when there is room, else at the bottom middle
    // of the picture, where no game button is.
    const bar = (width - boxWidth) / 2;
    const button = fullscreenButton.style;
    button.top = bar >= kButtonRoom ? '6px' : '';
    button.bottom = bar >= kButtonRoom ? '' : '4px';
    button.right = bar >= kButtonRoom ? '6px' : '';
    button.left = bar >= kButtonRoom ? '' : 'calc(50% - 18px)';
  }
  window.addEventListener('resize', layout);
  layout();

  // Nothing on the page is for pressing long, selecting or dragging.
  for (const type of ['contextmenu', 'selectstart', 'dragstart', 'gesturestart']) {
    document.addEventListener(type, (e) => e.preventDefault());
  }

  const root = document.documentElement;
  if (root.requestFullscreen || root.webkitRequestFullscreen) body.classList.add('can-fullscreen');
  fullscreenButton.addEventListener('click', () => {
    const request = root.requestFullscreen || root.webkitRequestFullscreen;
    Promise.resolve(request.call(root, { navigationUI: 'hide' }))
      .then(() => {
        const orientation = window.screen.orientation;
        return orientation && orientation.lock ? orientation.lock('landscape') : undefined;
      })
      .catch(() => {}); // a browser that cannot lock keeps the turn-the-phone notice
    fullscreenButton.blur();
  });
  document.addEventListener('fullscreenchange', () => {
    body.classList.toggle('fullscreen', !!document.fullscreenElement);
  });

  // One sentence instead of a blank page where the game cannot run. WebGL is known for sure
  // only when the game asks for its context (onNoWebGL).
  const kNoWebGL = 'Brinkhop cannot start: this browser has no WebGL, or it is turned off.';
  function missing() {
    if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
      return 'Brinkhop cannot start: this browser does not run WebAssembly.';
    }
    if (typeof WebGLRenderingContext === 'undefined') return kNoWebGL;
    if (typeof DecompressionStream === 'undefined') {
      return 'Brinkhop cannot start: this browser is too old to unpack the level.';
    }
    return '';
  }

  // The desktop game refuses level files larger than this; so does the page, before a small
  // download can unpack into gigabytes.
  const kMaxLevelBytes = 16 << 20;

  // A level as it travels. A server may already have inflated it (Content-Encoding). Errors
  // name the file and what went wrong with it.
  async function fetchLevel(name) {
    const file = 'levels/' + name + '.gz';
    let response;
    try {
      response = await fetch(file);
    } catch (error) {
      throw new Error(file + ': could not be downloaded');
    }
    if (!response.ok) throw new Error(file + ': ' + response.status + ' ' + response.statusText);
    try {
      return new Uint8Array(await response.arrayBuffer());
    } catch (error) {
      throw new Error(file + ': the download was cut off');
    }
  }

  // All of a stream, or an error once it passes `limit` bytes.
  async function readAtMost(stream, limit, tooLarge) {
    const reader = stream.getReader();
    const chunks = [];
    let size = 0;
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      size += value.length;
      if (size > limit) {
        reader.cancel().catch(() => {});
        throw new Error(tooLarge);
      }
      chunks.push(value);
    }
    const bytes = new Uint8Array(size);
    let at = 0;
    for (const chunk of chunks) {
      bytes.set(chunk, at);
      at += chunk.length;
    }
    return bytes;
  }

  async function inflate(name, bytes) {
    const file = 'levels/' + name + '.gz';
    const tooLarge = file + ': larger than 16 MB unpacked, more than any level';
    if (bytes[0] !== 0x1f || bytes[1] !== 0x8b) {
      if (bytes.length > kMaxLevelBytes) throw new Error(tooLarge);
      return bytes;
    }
    const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
    try {
      return await readAtMost(stream, kMaxLevelBytes, tooLarge);
    } catch (error) {
      throw error.message === tooLarge ? error : new Error(file + ': truncated or damaged');
    }
  }

  // Every level that loads is written; one that does not is left out, and the game treats
  // it as the desktop treats a missing file: only a pipe into it is refused. Without the first
  // level there is nothing to play.
  function reportLevels(results) {
    const failed = results.filter((r) => r.status === 'rejected').map((r) => r.reason.message);
    if (!failed.length) return;
    for (const reason of failed) console.warn('Brinkhop: ' + reason);
    const first = results.findIndex((r, i) => kLevels[i] === 'level' && r.status === 'rejected');
    if (first >= 0) {
      say('Brinkhop could not load its level (' + results[first].reason.message + '); reload to try again.');
    } else {
      showLevelNotice('Some levels could not be loaded (' + failed.join('; ') + '); play goes on without them.');
    }
  }

  // A notice that leaves the game playable: shown for a while, then gone.
  function showLevelNotice(text) {
    say(text);
    setTimeout(() => note.textContent === text && say(''), 8000);
  }

  let resolveReady;
  const ready = new Promise((resolve) => {
    resolveReady = resolve;
  });
  let game = null;
  window.brinkhop = {
    ready,
    // The last frame's state with brinkhop-sim's --trace keys; with units, its --units too.
    trace(units = false) {
      return game ? JSON.parse(game.UTF8ToString(game._brinkhop_trace(units ? 1 : 0))) : {};
    },
    // The game's random numbers after the seed a game starts with, the first `count` of them.
    randomSequence(count) {
      if (!game) return [];
      return game.UTF8ToString(game._brinkhop_random_sequence(count)).trim().split(' ').map(Number);
    },
    // Frames of play so far.
    frame() {
      return game ? game._brinkhop_frame() : 0;
    },
    audio() {
      const audio = game && game.brinkhopAudio;
      return {
        state: audio && audio.context ? audio.context.state : 'none',
        started: audio ? audio.started : 0,
        // Tunes started, and whether one is heard now.
        music: audio ? audio.music.started : 0,
        musicHeard: !!(audio && audio.music.source),
      };
    },
  };

  // &frames= and &speed= of a replay: whole positive numbers up to a day of play and 100
  // frames an animation frame; anything else is refused with a line saying so.
  const kMaxReplayFrames = 24 * 60 * 60 * 30;
  const kMaxReplaySpeed = 100;
  function replayPace(query) {
    const number = (key, fallback, most, what) => {
      const text = query.has(key) ? query.get(key) : fallback;
      const value = /^[0-9]{1,9}$/.test(text) ? Number(text) : NaN;
      if (!(value >= 1 && value <= most)) {
        throw new Error(`The replay's ${key} must be a whole number from 1 to ${most} (${what}), not '${text}'.`);
      }
      return value;
    };
    return {
      frames: number('frames', '600', kMaxReplayFrames, 'a day of play'),
      speed: number('speed', '1', kMaxReplaySpeed, 'frames an animation frame'),
    };
  }

  async function fetchReplay(file) {
    let response;
    try {
      response = await fetch(file);
    } catch (error) {
      throw new Error('The replay ' + file + ' could not be downloaded.');
    }
    if (!response.ok) {
      throw new Error('The replay ' + file + ' cannot be fetched: ' + response.status + ' ' + response.statusText + '.');
    }
    return response.text();
  }

  const problem = missing();
  if (problem) {
    say(problem);
    return;
  }

  const query = new URLSearchParams(window.location.search);
  const replay = query.get('replay');
  say('Loading Brinkhop…');

  const Module = {
    canvas: screen,
    print: (text) => console.log(text),
    // The game's notes on its error stream are not page errors.
    printErr: (text) => console.warn(text),
    setStatus: (text) => {
      const m = /\((\d+(?:\.\d+)?)\/(\d+(?:\.\d+)?)\)/.exec(text || '');
      if (m) say('Loading Brinkhop… ' + Math.floor((100 * Number(m[1])) / Number(m[2])) + '%');
    },
    onFirstFrame: () => {
      performance.mark('brinkhop:first-frame');
      say('');
      resolveReady();
      setTimeout(() => Module.brinkhopLevels(), 0);
    },
    onGameMessage: (text) => say(text),
    onNoWebGL: () => say(kNoWebGL),
    onGameEnded: (status) => status === 0 && say('The game has ended. Reload the page to play again.'),
    onAbort: (what) => say('Brinkhop stopped: ' + what),
    preRun: [],
  };
  // The levels download beside the game's script and data, but are unpacked (16 MB) only once
  // the first frame is on screen, or sooner if the game asks: it waits for them before the
  // first press it reads (brinkhop_wait_for_levels), as no level is needed before one.
  const packedLevels = kLevels.map((name) => fetchLevel(name));
  for (const level of packedLevels) level.catch(() => {}); // reported once unpacked
  let levelsWritten = null;
  Module.brinkhopLevels = () => {
    if (!levelsWritten) {
      levelsWritten = Promise.allSettled(
        packedLevels.map((packed, i) =>
          packed
            .then((bytes) => inflate(kLevels[i], bytes))
            .then((bytes) => Module.FS.writeFile('/data/' + kLevels[i], bytes)),
        ),
      )
        .then((results) => {
          performance.mark('brinkhop:levels');
          reportLevels(results);
          return window.brinkhopSharedLevel;
        })
        // A level from a link or the editor plays instead of the shipped one.
        .then((shared) => shared && Module.FS.writeFile('/data/level', shared))
        .catch((error) => say('Brinkhop could not load its level (' + error.message + '); reload to try again.'));
    }
    return levelsWritten;
  };
  if (replay) {
    try {
      Module.brinkhopReplay = { ...replayPace(query), file: replay };
    } catch (error) {
      say(error.message);
      return;
    }
    // The script is fetched beside the page and handed to the game as a file.
    Module.preRun.push(() => {
      Module.addRunDependency('replay');
      fetchReplay(replay)
        .then((text) => Module.FS.writeFile('/replay.txt', text))
        .catch((error) => {
          say(error.message);
        })
        .finally(() => Module.removeRunDependency('replay'));
    });
  }
  Module.onRuntimeInitialized = () => {
    performance.mark('brinkhop:runtime');
    game = Module;
    say('Starting…');
  };
  window.Module = Module;

  const script = document.createElement('script');
  script.src = 'brinkhop.js';
  script.onerror = () => say('Brinkhop could not be loaded; check the connection and reload.');
  document.body.appendChild(script);
})();
