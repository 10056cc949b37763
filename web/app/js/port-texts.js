// What the page says about the browser's serial ports. The browser gives no
// reason when a port will not open, so the likely causes are named with what to
// do for each.

export const BoxCaption = 'Vyx Tool';

export const NoSerialText =
    'Este navegador não dá acesso a portas seriais.\n\n' +
    'Use o Chrome ou o Edge (versão 89 ou mais nova) num computador com Windows, macOS, ' +
    'Linux ou ChromeOS, com a página aberta por HTTPS.\n' +
    'No Linux, o Chromium instalado como snap só acessa portas seriais depois de\n' +
    '    sudo snap connect chromium:raw-usb\n\n' +
    'Sem o Vyx, a porta "demo" mostra o VyxTool com um Vyx simulado.';

export const OpenFailedText =
    'Não foi possível abrir a porta do Vyx. O navegador não informa o motivo; as causas mais ' +
    'prováveis são:\n\n' +
    '1. Outro programa está usando a porta (o VyxTool para desktop, um terminal serial ou ' +
    'outra janela do navegador): feche esse programa e tente de novo.\n\n' +
    '2. No Linux, o seu usuário não tem acesso à porta: entre no grupo dialout com\n' +
    '    sudo usermod -aG dialout $USER\n' +
    'e saia e entre de novo na sua sessão, ou peça ao administrador que instale a regra udev ' +
    'do Vyx.\n\n' +
    '3. O Vyx foi desconectado: ligue o cabo USB de novo, espere alguns segundos e escolha a ' +
    'porta outra vez.';

export const OtherTabText =
    'Esta porta já está aberta em outra aba ou janela do VyxTool.\n' +
    'Feche a conexão lá (ou feche aquela aba) e tente de novo; a outra aba não foi afetada.';

export const ChooserCancelledText =
    'Nenhuma porta foi escolhida. Para conectar, pressione o botão de novo e escolha a porta ' +
    'do Vyx na lista do navegador.';

export const NoMatchingPortText =
    'O navegador não encontrou nenhuma porta do Vyx. Verifique o cabo USB e se o Vyx está ' +
    'ligado, e tente de novo.';

export const BlockedText =
    'O navegador bloqueou o acesso às portas seriais para esta página (permissão negada ou ' +
    'política do navegador). Libere o acesso nas configurações do site e tente de novo.';

export const PickedUpAgainText = 'O Vyx voltou: conectando de novo...';
// The new connection's log starts afresh: this line keeps the loss in view.
export const ReconnectedText = 'Conexão restabelecida após uma perda da conexão.';

/** The box text for a refused open; the browser's own words follow. */
export function openFailure(error) {
    const detail = error && error.message ? `\n\n(${error.name}: ${error.message})` : '';
    return OpenFailedText + detail;
}

/** What a rejected chooser means; null when it was an ordinary cancel. */
export function chooserFailure(error) {
    if (error && error.name === 'SecurityError') return BlockedText;
    if (error && error.name === 'NotFoundError' && !/selected/i.test(error.message)) {
        return NoMatchingPortText;
    }
    return null;
}
