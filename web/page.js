// The page around the game: fits the landscape picture to the window, offers full screen, asks
// for landscape on phones, shows the loading line, and starts brinkhop.js. It also defines
// window.brinkhop, the interface tests and tools rely on: `ready`, `trace()`, `frame()` and
// `randomSequence()`.
'use strict';

(function () {
  const kWidth = 480; // the landscape picture, in game pixels
  const kHeight = 320;
  const kButtonRoom = 60; // CSS pixels of black bar the full-screen button (48) needs
  const kLevels = [@BRINKHOP_WEB_LEVELS@]; // levels/NAME.gz, written to /data/NAME
  const body = document.body;
  const stage = document.getElementById('stage');
  const screen = document.getElementById('screen');
  const note = document.getElementById('note');
  const fullscreenButton = document.getElementById('fullscreen');
  // The build's name: every file the page asks for carries it, so that a page never mixes the
  // files of two builds, whatever the offline copy holds.
  const kVersion = (document.currentScript && document.currentScript.dataset.version) || '';
  const versioned = (file) => (kVersion && !kVersion.startsWith('@') ? file + '?v=' + kVersion : file);

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
    placeFullscreenButton((width - boxWidth) / 2, (height - boxHeight) / 2);
  }

  // The full-screen button sits in a black bar when there is room (top right, away from the
  // thumbs' bars below), else at the bottom middle of the picture, where no game button is;
  // with a mouse it then leaves once play begins (F still toggles full screen).
  function placeFullscreenButton(sideBar, topBar) {
    const button = fullscreenButton.style;
    const inSide = sideBar >= kButtonRoom;
    const inTop = !inSide && topBar >= kButtonRoom;
    body.classList.toggle('no-bar', !inSide && !inTop);
    button.top = inSide || inTop ? '6px' : '';
    button.bottom = inSide || inTop ? '' : '4px';
    button.right = inSide || inTop ? '6px' : '';
    button.left = inSide || inTop ? '' : 'calc(50% - 24px)';
  }
  window.addEventListener('resize', layout);
  layout();

  // Nothing on the page is for pressing long, selecting or dragging.
  for (const type of ['contextmenu', 'selectstart', 'dragstart', 'gesturestart']) {
    document.addEventListener(type, (e) => e.preventDefault());
  }

  const root = document.documentElement;
  if (root.requestFullscreen || root.webkitRequestFullscreen) body.classList.add('can-fullscreen');
  function enterFullscreen() {
    const request = root.requestFullscreen || root.webkitRequestFullscreen;
    Promise.resolve(request.call(root, { navigationUI: 'hide' }))
      .then(() => {
        const orientation = window.screen.orientation;
        return orientation && orientation.lock ? orientation.lock('landscape') : undefined;
      })
      .catch(() => {}); // a browser that cannot lock keeps the turn-the-phone notice
    fullscreenButton.blur();
  }
  fullscreenButton.addEventListener('click', enterFullscreen);
  keepPageButtonsToThemselves();
  watchForPlay();

  // The game hears touches anywhere on the page (a thumb in a black bar plays); a touch on the
  // page's own button is the button's alone.
  function keepPageButtonsToThemselves() {
    for (const control of document.querySelectorAll('button, a')) {
      for (const type of ['touchstart', 'touchmove', 'touchend', 'touchcancel', 'mousedown']) {
        control.addEventListener(type, (e) => e.stopPropagation());
      }
    }
  }

  // A mouse (or no touch at all) means a desktop: the full-screen button keeps off the picture
  // during play, and F toggles full screen instead.
  function watchForPlay() {
    const mouse = !(navigator.maxTouchPoints > 0) || window.matchMedia('(any-pointer: fine)').matches;
    body.classList.toggle('mouse', mouse);
    const timer = setInterval(() => {
      if (window.brinkhop.frame() > 0) {
        body.classList.add('playing');
        clearInterval(timer);
      }
    }, 250);
    document.addEventListener('keydown', (e) => {
      if (e.code !== 'KeyF' || e.repeat) return;
      if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
      else if (body.classList.contains('can-fullscreen')) enterFullscreen();
    });
  }
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
      response = await fetch(versioned(file));
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
      keepForOffline();
    },
    onGameMessage: (text) => say(text),
    onNoWebGL: () => say(kNoWebGL),
    onGameEnded: (status) => status === 0 && say('The game has ended. Reload the page to play again.'),
    onAbort: (what) => say('Brinkhop stopped: ' + what),
    preRun: [],
    locateFile: (file) => versioned(file),
  };
  // The levels download and unpack (16 MB) only once the first frame is on screen, so that they
  // take nothing from it, or sooner if the game asks: it holds the first press it reads until
  // they are written (brinkhop_levels_ready), as no level is needed before one.
  let levelsWritten = null;
  Module.brinkhopLevels = () => {
    if (!levelsWritten) {
      levelsWritten = Promise.allSettled(
        kLevels.map((name) =>
          fetchLevel(name)
            .then((bytes) => inflate(name, bytes))
            .then((bytes) => Module.FS.writeFile('/data/' + name, bytes)),
        ),
      )
        .then((results) => {
          performance.mark('brinkhop:levels');
          reportLevels(results);
          return window.brinkhopSharedLevel;
        })
        // A level from a link or the editor plays instead of the shipped one.
        .then((shared) => shared && Module.FS.writeFile('/data/level', shared))
        .catch((error) => say('Brinkhop could not load its level (' + error.message + '); reload to try again.'))
        .finally(() => {
          Module.brinkhopLevelsDone = true; // the game's first press waits for this
        });
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

  // The whole site is kept for play without a network once the first visit has shown the game
  // (sw.js); the worker's downloads wait until then, so they never slow the first frame.
  function keepForOffline() {
    if (!('serviceWorker' in navigator) || !kVersion) return;
    navigator.serviceWorker.register('sw.js').catch((error) => console.warn('No offline play: ' + error.message));
  }

  const script = document.createElement('script');
  script.src = versioned('brinkhop.js');
  script.onerror = () => say('Brinkhop could not be loaded; check the connection and reload.');
  document.body.appendChild(script);
})();
