// Keeps the whole site for offline use. The site's build stamps this file with
// its version and file list, so every new build is a new worker the browser
// installs in the background; it serves from the next load on.

const Build = '__VYX_BUILD__';
const Files = __VYX_FILES__;
const Cache = `vyxtool-${Build}`;

self.addEventListener('install', (event) => {
    event.waitUntil(
        caches
            .open(Cache)
            .then((cache) => cache.addAll(Files))
            .then(() => self.skipWaiting()),
    );
});

self.addEventListener('activate', (event) => {
    event.waitUntil(
        caches
            .keys()
            .then((names) => Promise.all(names.filter((n) => n.startsWith('vyxtool-') && n !== Cache).map((n) => caches.delete(n))))
            .then(() => self.clients.claim()),
    );
});

self.addEventListener('fetch', (event) => {
    const request = event.request;
    if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
    // The page's own address may carry the demo's options: the same page.
    event.respondWith(
        caches
            .open(Cache)
            .then((cache) => cache.match(request, { ignoreSearch: request.mode === 'navigate' }))
            .then((hit) => hit ?? fetch(request)),
    );
});
