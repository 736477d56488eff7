// The level a link or the editor hands the game instead of the shipped one. A link's level
// ("#level=", see share.js) is built here with the editor's compiler; the editor's Play hands
// over the level file it built itself. window.brinkhopSharedLevel is the promise page.js waits
// for: the level file's bytes, or null to play the shipped level.
'use strict';

(function () {
  let handed = null;
  try {
    if (window.parent !== window && window.parent.brinkhopPlayedLevel) handed = window.parent.brinkhopPlayedLevel;
  } catch {
    handed = null; // a page of another site around this one hands nothing
  }
  if (handed) {
    window.brinkhopSharedLevel = Promise.resolve(handed);
    return;
  }
  const fragment = window.location.hash;
  if (!/^#(.*&)?level=/.test(fragment)) {
    window.brinkhopSharedLevel = Promise.resolve(null);
    return;
  }

  const banner = document.createElement('div');
  banner.id = 'shared';
  banner.style.cssText =
    'position:absolute;left:0;right:0;top:0;z-index:5;padding:6px 10px;background:#000c;color:#fff;' +
    'font:14px/1.3 system-ui,sans-serif;text-align:center;pointer-events:none';
  document.body.appendChild(banner);

  function loadScript(src) {
    return new Promise((resolve, reject) => {
      const script = document.createElement('script');
      script.src = src;
      script.onload = resolve;
      script.onerror = () => reject(new Error('the level compiler cannot be loaded'));
      document.body.appendChild(script);
    });
  }

  window.brinkhopSharedLevel = (async () => {
    try {
      const text = await window.BrinkhopShare.decode(fragment);
      await loadScript('editor_code.js');
      const code = await window.BrinkhopEditorCode();
      const built = window.BrinkhopShare.build(code, text, 'shared');
      if (built.error) throw new Error(built.error);
      const edit = document.createElement('a');
      edit.id = 'editCopy';
      edit.href = 'editor.html' + fragment;
      edit.textContent = 'Edit a copy';
      edit.style.cssText = 'pointer-events:auto;color:#8cf;margin-left:1em';
      banner.textContent = 'A shared level.';
      banner.appendChild(edit);
      return built.bytes;
    } catch (error) {
      banner.textContent = 'The level in this link cannot be played: ' + error.message + '. The game’s own level plays instead.';
      return null;
    }
  })();
})();
