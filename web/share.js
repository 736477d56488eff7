// A level in a link: its source text deflated (raw deflate) and written in base64url after
// "#level=" in the link's fragment, so the level travels in the link itself, not to a server.
'use strict';

(function (root) {
  const kPrefix = 'level=';
  const kMaxLinkBytes = 16 << 10; // links past this stop working in some places they travel
  const kMaxTextBytes = 4 << 20; // a level source is a few tens of kilobytes

  async function pipe(bytes, stream) {
    const out = new Blob([bytes]).stream().pipeThrough(stream);
    return new Uint8Array(await new Response(out).arrayBuffer());
  }

  function toBase64Url(bytes) {
    let binary = '';
    for (let i = 0; i < bytes.length; i += 0x8000) binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
    return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  }

  function fromBase64Url(text) {
    if (!/^[A-Za-z0-9_-]*$/.test(text)) throw new Error('the link has characters a level link never holds');
    const padded = text.replace(/-/g, '+').replace(/_/g, '/') + '==='.slice((text.length + 3) % 4);
    let binary;
    try {
      binary = atob(padded);
    } catch {
      throw new Error('the link is cut short');
    }
    return Uint8Array.from(binary, (c) => c.charCodeAt(0));
  }

  // The fragment (without '#') that carries the text.
  async function encode(text) {
    const packed = await pipe(new TextEncoder().encode(text), new CompressionStream('deflate-raw'));
    return kPrefix + toBase64Url(packed);
  }

  // The text a fragment carries; null when it carries no level; throws with what is wrong.
  async function decode(fragment) {
    const hash = fragment.replace(/^#/, '');
    const part = hash.split('&').find((p) => p.startsWith(kPrefix));
    if (part === undefined) return null;
    const packed = fromBase64Url(part.slice(kPrefix.length));
    if (!packed.length) throw new Error('the link holds no level');
    let bytes;
    try {
      const stream = new Blob([packed]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
      const reader = stream.getReader();
      const chunks = [];
      let size = 0;
      for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        size += value.length;
        if (size > kMaxTextBytes) throw new Error('too large');
        chunks.push(value);
      }
      bytes = new Uint8Array(size);
      let at = 0;
      for (const c of chunks) {
        bytes.set(c, at);
        at += c.length;
      }
    } catch (error) {
      throw new Error(error.message === 'too large' ? 'the level in the link is too large' : 'the link is damaged or cut short');
    }
    try {
      return new TextDecoder('utf-8', { fatal: true }).decode(bytes);
    } catch {
      throw new Error('the link does not hold a level source');
    }
  }

  // Builds a level source text (or a level file's bytes) with the editor's compiler (the
  // module editor_code.js makes): {bytes} of the level file, or {error}, the compiler's first.
  function build(code, input, name) {
    const bytes = typeof input === 'string' ? new TextEncoder().encode(input) : input;
    const nameBytes = new TextEncoder().encode(name + '\0');
    const put = (data) => {
      const at = code._malloc(data.length + 1);
      code.HEAPU8.set(data, at);
      return at;
    };
    const namePtr = put(nameBytes);
    const at = put(bytes);
    try {
      if (!code._editor_build(at, bytes.length, namePtr)) {
        return { error: code.UTF8ToString(code._editor_text()).split('\n')[0] || name + ': not a level' };
      }
      const start = code._editor_bytes();
      return { bytes: code.HEAPU8.slice(start, start + code._editor_bytes_size()) };
    } finally {
      code._free(at);
      code._free(namePtr);
    }
  }

  const api = { encode, decode, build, kMaxLinkBytes };
  if (typeof module === 'object' && module.exports) module.exports = api;
  else root.BrinkhopShare = api;
})(typeof window === 'object' ? window : globalThis);
