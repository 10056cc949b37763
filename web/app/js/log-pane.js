// A log pane of the window: lines appended at the end in the pane's current
// colour, which stays until the pane is cleared; the pane shows its newest line.

/** A colour of the device logic (0x00BBGGRR) as CSS. */
export function cssColour(colour) {
    const r = colour & 0xff;
    const g = (colour >> 8) & 0xff;
    const b = (colour >> 16) & 0xff;
    return `rgb(${r}, ${g}, ${b})`;
}

export class LogPane {
    constructor(element) {
        this.element = element;
        this.colour = null;
    }

    append(text) {
        const line = document.createElement('div');
        // The logic's lines may hold "\r\n": two lines on screen.
        line.textContent = text.replace(/\r\n/g, '\n');
        if (this.colour !== null) line.style.color = cssColour(this.colour);
        this.element.append(line);
        this.element.scrollTop = this.element.scrollHeight;
    }

    setColour(colour) {
        this.colour = colour;
    }

    clear() {
        this.element.replaceChildren();
        this.colour = null;
    }

    /** The pane's lines as the user reads them. */
    lines() {
        return [...this.element.children].flatMap((line) => line.textContent.split('\n'));
    }
}
