// Offline use: the service worker keeps the whole site, so the page opens
// without a network once loaded. A new version is fetched in the background and
// serves the next load; the page says so when that happens.

export const NewVersionText = 'Nova versão da página instalada: ela vale a partir da próxima abertura.';

export function startOffline(message) {
    if (!('serviceWorker' in navigator)) return;
    const hadController = Boolean(navigator.serviceWorker.controller);
    navigator.serviceWorker.addEventListener('controllerchange', () => {
        // The first install takes over quietly; only a replacement is news.
        if (hadController) message.textContent = NewVersionText;
    });
    navigator.serviceWorker.register('sw.js', { scope: './' }).catch(() => {
        // Without it the page still works while online.
    });
}
