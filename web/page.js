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

  // A level as it travels. A server may already have inflated it (Content-Encoding).
  async function fetchLevel(name) {
    const response = await fetch('levels/' + name + '.gz');
    if (!response.ok) throw new Error('levels/' + name + '.gz: ' + response.status);
    return new Uint8Array(await response.arrayBuffer());
  }

  async function inflate(bytes) {
    if (bytes[0] !== 0x1f || bytes[1] !== 0x8b) return bytes;
    const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
    return new Uint8Array(await new Response(stream).arrayBuffer());
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
  const packedLevels = Promise.all(kLevels.map((name) => fetchLevel(name).then((bytes) => [name, bytes])));
  let levelsWritten = null;
  Module.brinkhopLevels = () => {
    if (!levelsWritten) {
      levelsWritten = packedLevels
        .then((files) => Promise.all(files.map(([name, bytes]) => inflate(bytes).then((b) => [name, b]))))
        .then((files) => {
          for (const [name, bytes] of files) Module.FS.writeFile('/data/' + name, bytes);
          performance.mark('brinkhop:levels');
          return window.brinkhopSharedLevel;
        })
        // A level from a link or the editor plays instead of the shipped one.
        .then((shared) => shared && Module.FS.writeFile('/data/level', shared))
        .catch((error) => say('Brinkhop could not load its level (' + error.message + '); reload to try again.'));
    }
    return levelsWritten;
  };
  if (replay) {
    Module.brinkhopReplay = {
      frames: Math.max(0, parseInt(query.get('frames') || '600', 10) || 0),
      speed: Math.max(1, parseInt(query.get('speed') || '1', 10) || 1),
    };
    // The script is fetched beside the page and handed to the game as a file.
    Module.preRun.push(() => {
      Module.addRunDependency('replay');
      fetch(replay)
        .then((response) => (response.ok ? response.text() : Promise.reject(new Error(response.status))))
        .then((text) => Module.FS.writeFile('/replay.txt', text))
        .catch(() => say('The replay ' + replay + ' cannot be fetched.'))
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
