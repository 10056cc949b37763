// A log pane of the window: lines appended at the end in the pane's current
// colour, which stays until the pane is cleared; the pane shows its newest line.
// It keeps as many lines as the window's panes, the oldest going first, and
// scrolls once a frame: a device that floods the link costs a line's append, not
// a layout of the whole pane per line.

/** A colour of the device logic (0x00BBGGRR) as CSS. */
export function cssColour(colour) {
    const r = colour & 0xff;
    const g = (colour >> 8) & 0xff;
    const b = (colour >> 16) & 0xff;
    return `rgb(${r}, ${g}, ${b})`;
}

// Lines are kept in pages of this many: the pane's own children stay few, so a
// frame lays out a page or two, not every line the pane holds.
const PageLines = 100;

export class LogPane {
    /**
     * @param {HTMLElement} element
     * @param {number} maxLines lines kept (the module's logMaxLines())
     * @param {(step: () => void) => void} [nextFrame] requestAnimationFrame, for tests
     */
    constructor(element, maxLines, nextFrame = (step) => requestAnimationFrame(step)) {
        this.element = element;
        this.maxLines = maxLines;
        this.nextFrame = nextFrame;
        this.colour = null;
        this.count = 0;
        this.page = null;
        this.scrollDue = false;
    }

    append(text) {
        const document = this.element.ownerDocument;
        // The logic's lines may hold "\r\n": two lines on screen, counted as two.
        for (const part of text.replace(/\r\n/g, '\n').split('\n')) {
            if (!this.page || this.page.childElementCount === PageLines) {
                this.page = document.createElement('div');
                this.element.append(this.page);
            }
            const line = document.createElement('div');
            line.textContent = part;
            if (this.colour !== null) line.style.color = cssColour(this.colour);
            this.page.append(line);
            ++this.count;
        }
        for (; this.count > this.maxLines; --this.count) {
            const oldest = this.element.firstElementChild;
            oldest.firstElementChild.remove();
            if (!oldest.firstElementChild) oldest.remove();
        }
        if (!this.scrollDue) {
            this.scrollDue = true;
            this.nextFrame(() => {
                this.scrollDue = false;
                this.element.scrollTop = this.element.scrollHeight;
            });
        }
    }

    setColour(colour) {
        this.colour = colour;
    }

    clear() {
        this.element.replaceChildren();
        this.colour = null;
        this.count = 0;
        this.page = null;
    }

    /** The pane's lines as the user reads them. */
    lines() {
        return [...this.element.querySelectorAll(':scope > div > div')].map((line) => line.textContent);
    }
}
