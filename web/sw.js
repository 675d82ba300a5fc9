// Keeps the show for visits without a network. Each build has its own cache, filled whole when
// its worker installs and never written again; the page names the build in the addresses of its
// script and WebAssembly, so a page only ever runs with the files of its own build. The page
// itself comes from the network whenever there is one, so a new build runs at the next load.
'use strict';

const BUILD = '@BUILD@';
const CACHE = 'kelp2207-' + BUILD;
const FILES = ['./', 'kelp2207.js?v=' + BUILD, 'kelp2207.wasm?v=' + BUILD, 'manifest.webmanifest',
               'icon-192.png', 'icon-512.png', 'icon-maskable.png', 'apple-touch-icon.png'];
const PAGE = new URL('./', self.registration.scope).href;
const KEPT = new Set(FILES.map(file => new URL(file, self.registration.scope).href));

self.addEventListener('install', event => {
  // Revalidated, not taken from the browser's cache unasked: a server's answer for one of the
  // unversioned files may be older than this worker.
  event.waitUntil(caches.open(CACHE)
    .then(cache => cache.addAll(FILES.map(file => new Request(file, {cache: 'no-cache'}))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', event => {
  event.waitUntil(caches.keys()
    .then(names => Promise.all(names.filter(name => name.startsWith('kelp2207-') && name !== CACHE)
      .map(name => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', event => {
  const request = event.request;
  if (request.method !== 'GET') return;
  const url = request.url.split('#')[0];
  if (request.mode === 'navigate') {
    const path = url.split('?')[0];
    if (path !== PAGE && path !== PAGE + 'index.html') return;
    event.respondWith(fetch(request).catch(() => caches.open(CACHE)
      .then(cache => cache.match('./'))
      .then(page => page || Response.error())));
  } else if (KEPT.has(url)) {
    event.respondWith(caches.open(CACHE)
      .then(cache => cache.match(request))
      .then(kept => kept || fetch(request)));
  }
  // Anything else, a file of another build among them, goes to the network as if no worker were here.
});
