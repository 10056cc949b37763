// The window's message boxes as one modal <dialog>: caption, icon, text and OK.
// Boxes asked for while one is open wait their turn, in order.

const IconClass = { none: 'none', warning: 'warning', question: 'warning', error: 'error' };

export class MessageBox {
    constructor(dialog) {
        this.dialog = dialog;
        this.caption = dialog.querySelector('#MsgCaption');
        this.text = dialog.querySelector('#MsgText');
        this.icon = dialog.querySelector('#MsgIcon');
        this.queue = [];
        this.current = null;
        dialog.querySelector('#MsgOk').addEventListener('click', () => dialog.close());
        dialog.addEventListener('close', () => this.next());
    }

    /** Shows a box; resolves when the user has closed it. */
    show(text, caption, icon = 'none') {
        return new Promise((resolve) => {
            this.queue.push({ text, caption, icon, resolve });
            if (!this.current) this.next();
        });
    }

    next() {
        if (this.current) this.current.resolve();
        this.current = this.queue.shift() ?? null;
        if (!this.current) return;
        const { text, caption, icon } = this.current;
        this.caption.textContent = caption;
        this.text.textContent = text.replace(/\r\n/g, '\n');
        this.icon.className = `icon ${IconClass[icon] ?? 'none'}`;
        this.dialog.showModal();
    }

    isOpen() {
        return this.dialog.open;
    }
}
