// One visit's service report in its own tab: the module's HTML for the kept
// visit named after the "#", with its own style sheet (print rules included,
// so the browser's "Salvar como PDF" gives the same page). The page's policy
// allows no inline style: the report's sheet is handed to the document as an
// object instead.

import { RecordStore } from './record-store.js';

const MissingText = 'Visita não encontrada no histórico deste navegador.';

async function show() {
    const uuid = decodeURIComponent(location.hash.slice(1));
    const store = await RecordStore.open();
    const row = store && uuid ? await store.get(uuid) : undefined;
    const { default: createVyx } = await import('../vyx.js');
    const vyx = await createVyx();
    const html = row ? vyx.visitReport(row.line) : '';
    if (!html) {
        document.getElementById('Waiting').textContent = MissingText;
        return;
    }
    // The sheet taken out before parsing (a parsed <style> would be refused
    // by the policy); the rest parsed apart from the page: nothing in it runs,
    // and every text in it the module escaped.
    const styles = [];
    const markup = html.replace(/<style>([\s\S]*?)<\/style>/g, (_, css) => {
        styles.push(css);
        return '';
    });
    const report = new DOMParser().parseFromString(markup, 'text/html');
    const sheet = new CSSStyleSheet();
    sheet.replaceSync(styles.join('\n'));
    document.title = report.title;
    document.adoptedStyleSheets = [sheet];
    document.body.replaceWith(document.importNode(report.body, true));
}

show();
