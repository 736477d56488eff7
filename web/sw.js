// Brinkhop's service worker: keeps one build of the whole site, so the game starts and plays
// with no network. Every build has its own cache, named by a hash of its files; the page asks
// for its files with that hash in their address, so one page never mixes two builds. The page
// itself comes from the network when there is one (a new build shows on the next visit) and
// from the cache when there is none. A new worker takes over at once; the older builds' files
// stay for the pages still showing them, and go when a visit finds no other page open.
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
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));

// The other builds' caches, once no page that may still need them is open, and only by the
// newest worker: one still being installed is filling its own.
async function forgetOtherBuilds() {
  if (self.registration.installing || self.registration.waiting) return;
  const open = await self.clients.matchAll({ type: 'window', includeUncontrolled: true });
  if (open.length > 1) return;
  for (const name of await caches.keys()) {
    if (name.startsWith('brinkhop-') && name !== kCache) await caches.delete(name);
  }
}

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

// A file of another build (a page of it still open) comes from that build's cache.
async function file(request) {
  const version = new URL(request.url).searchParams.get('v');
  const kept = await caches.match(request, version && version !== kVersion ? {} : { cacheName: kCache });
  return kept || fetch(request);
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  if (request.mode === 'navigate') {
    event.respondWith(page(request));
    event.waitUntil(forgetOtherBuilds());
  } else {
    event.respondWith(file(request));
  }
});
