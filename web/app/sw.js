// Keeps the whole site for offline use. The site's build stamps this file with
// its version and every file's SHA-256, so every new build is a new worker the
// browser installs in the background. Each file is fetched past the browser's
// HTTP cache and checked against its hash: a copy that differs (an old file from
// a cache on the way, a half-published site) fails the install, the old copy
// stays in use, and the open pages are told.

const Build = '__VYX_BUILD__';
const Files = __VYX_FILES__;
const Cache = `vyxtool-${Build}`;

async function sha256(bytes) {
    const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
    return [...digest].map((b) => b.toString(16).padStart(2, '0')).join('');
}

async function tellPages(message) {
    for (const page of await self.clients.matchAll({ type: 'window', includeUncontrolled: true })) {
        page.postMessage(message);
    }
}

// Every file fetched and checked first; only a whole, matching set is kept.
async function fillCache() {
    const checked = await Promise.all(
        Object.entries(Files).map(async ([file, hash]) => {
            const response = await fetch(file, { cache: 'reload' });
            const copy = response.clone();
            const fine = response.ok && (await sha256(await response.arrayBuffer())) === hash;
            return { file, copy, fine };
        }),
    );
    const stale = checked.filter((c) => !c.fine).map((c) => c.file);
    if (stale.length > 0) {
        await tellPages({ kind: 'vyx-update-refused', build: Build, files: stale });
        throw new Error(`the site's files do not match this build: ${stale.join(', ')}`);
    }
    const cache = await caches.open(Cache);
    await Promise.all(checked.map(({ file, copy }) => cache.put(file, copy)));
}

self.addEventListener('install', (event) => {
    event.waitUntil(fillCache().then(() => self.skipWaiting()));
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
