#pragma once
// Fonts and colours of the window. The layout was drawn for fonts that Linux
// rarely has, so each face falls back to the nearest one installed; sizes are
// given in pixels so the layout does not move with the screen's DPI setting.

#include <QColor>
#include <QFont>

namespace vyx::app {

class Look {
public:
    /// Verdana at the given pixel height (DejaVu Sans on most systems).
    static QFont Verdana(int pixelSize, bool bold = false, bool underline = false);
    /// Consolas at the given pixel height (DejaVu Sans Mono on most systems).
    static QFont Consolas(int pixelSize, bool bold = false);
    /// The window's default face: a narrow sans at 8 points.
    static QFont SansSerif8();
    /// Tahoma at the given pixel height.
    static QFont Tahoma(int pixelSize);
    /// Arial at the given pixel height.
    static QFont Arial(int pixelSize);

    static QColor Grey() { return QColor(0x80, 0x80, 0x80); }
    static QColor Silver() { return QColor(0xC0, 0xC0, 0xC0); }
    /// The window background: the system's menu-bar colour of the original look.
    static QColor WindowBackground() { return QColor(0xF0, 0xF0, 0xF0); }
};

}  // namespace vyx::app
