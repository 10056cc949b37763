// Profile files in the page: the editor saved as a download, and a file the
// user picks opened into the editor. The module writes the text and judges the
// file's bytes as they are on the disk (no decoding by the browser), so the page,
// the window and vyxctl accept and refuse the same files.

export const ProfileFileName = 'perfil-vyx.json';
// A file is read only this far: the module refuses anything near this size, and
// a huge file picked by mistake is never read whole.
const ReadLimit = 1024 * 1024;

export class Profiles {
    /**
     * @param changes {vyx, editor, log, opened}: the module, the editor and the log pane,
     *   for what an opened profile would change on the device; opened(snapshot), told
     *   of each profile opened.
     */
    constructor(session, box, input, changes) {
        this.session = session;
        this.box = box;
        this.input = input;
        this.changes = changes;
        this.device = null;
        input.addEventListener('change', () => this.picked());
    }

    /** What the connected device holds, as its read (or a write since) put it in the editor; null while no device's configuration is there. */
    deviceHolds(snapshot) {
        this.device = snapshot;
    }

    save() {
        const result = this.session.saveProfile();
        if (!result.ok) {
            this.box.show(result.message, result.caption, 'warning');
            return false;
        }
        const url = URL.createObjectURL(new Blob([result.text], { type: 'application/json' }));
        const link = document.createElement('a');
        link.href = url;
        link.download = ProfileFileName;
        link.click();
        setTimeout(() => URL.revokeObjectURL(url), 0);
        return true;
    }

    open() {
        this.input.value = '';
        this.input.click();
    }

    async picked() {
        const file = this.input.files[0];
        if (!file) return;
        const bytes = new Uint8Array(await file.slice(0, ReadLimit).arrayBuffer());
        const result = this.session.openProfile(bytes, file.name);
        if (!result.ok) {
            this.box.show(result.message, result.caption, 'warning');
            return;
        }
        const { vyx, editor, log, opened } = this.changes;
        opened?.(editor.read());
        // What CONFIGURAR would change on the device, in the window's words.
        if (this.device) {
            for (const line of vyx.profileOpenedLines(this.device, editor.read())) log.append(line);
        }
    }
}
