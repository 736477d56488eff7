// Brinkhop's service worker: keeps one build of the whole site, so the game starts and plays
// with no network. Every build has its own cache, named by a hash of its files; the page asks
// for its files with that hash in their address, so one page never mixes two builds. The page
// itself comes from the network when there is one (a new build shows on the next visit) and
// from the cache when there is none.
'use strict';

const kVersion = '@BRINKHOP_WEB_VERSION@';
const kCache = 'brinkhop-' + kVersion;
// Relative to this file; the page's own files carry ?v=kVersion as the page asks for them.
const kFiles = [@BRINKHOP_WEB_FILES@];
const kNetworkWait = 4000; // ms a page waits for the network before the kept copy shows

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(kCache);
    // Straight from the server, past any HTTP cache: the files must all be this build's.
    await cache.addAll(kFiles.map((file) => new Request(file, { cache: 'reload' })));
    const page = await cache.match('./');
    if (!page || !(await page.text()).includes(kVersion)) throw new Error('a newer build is being deployed');
  })());
});

// The pages still open keep this build's files until they close; the next worker takes over
// only then, and throws away the older caches.
self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith('brinkhop-') && name !== kCache) await caches.delete(name);
    }
    await self.clients.claim();
  })());
});

function fromNetwork(request) {
  return new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error('slow network')), kNetworkWait);
    fetch(request).then((response) => {
      clearTimeout(timer);
      resolve(response);
    }, (error) => {
      clearTimeout(timer);
      reject(error);
    });
  });
}

async function page(request) {
  try {
    const response = await fromNetwork(request);
    if (response.ok) return response;
  } catch (error) {
    // offline, or too slow: the kept page
  }
  const kept = await caches.match('./', { cacheName: kCache });
  return kept || fetch(request);
}

async function file(request) {
  const kept = await caches.match(request, { cacheName: kCache });
  return kept || fetch(request);
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(request.mode === 'navigate' ? page(request) : file(request));
});
