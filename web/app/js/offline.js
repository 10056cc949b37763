// Offline use: the service worker keeps the whole site, so the page opens
// without a network once loaded. A new version is fetched in the background and
// takes over every open tab at once; the code a tab already runs stays the old
// one until it is reloaded, and each tab says so. A new version whose files do
// not match it is refused, and each tab says that too.

export const NewVersionText = 'Nova versão da página instalada: recarregue a página para usá-la.';
export const RefusedVersionText =
    'Nova versão da página recusada (arquivos do servidor diferentes dos publicados): ' +
    'a versão anterior continua em uso.';

export function startOffline(message) {
    if (!('serviceWorker' in navigator)) return;
    const workers = navigator.serviceWorker;
    // The first install takes over quietly; every later one is news, also in a
    // tab that was opened before the first install.
    let served = Boolean(workers.controller);
    workers.addEventListener('controllerchange', () => {
        if (served) message.textContent = NewVersionText;
        served = true;
    });
    workers.addEventListener('message', (event) => {
        if (event.data?.kind === 'vyx-update-refused') message.textContent = RefusedVersionText;
    });
    workers.register('sw.js', { scope: './' }).catch(() => {
        // Without it the page still works while online.
    });
}
