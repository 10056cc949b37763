#pragma once
// ImageList1: the two glyphs of the connect button, drawn at start, and the
// application icon. A dark grey USB plug with white outlines, with a green tick
// when connected and a red cross when not, readable at a glance.

#include <QIcon>
#include <QPixmap>

class QPainter;

namespace vyx::app {

class GlyphList {
public:
    static constexpr int GlyphSize = 51;
    static constexpr int Connected = 0;
    static constexpr int Disconnected = 1;

    GlyphList();

    /// Number of glyphs (two).
    int Count() const { return 2; }
    /// Glyph `index` (Connected or Disconnected); an unknown index gives a null pixmap.
    QPixmap Glyph(int index) const;

    /// The application icon: the plug with the tick, at a few sizes.
    static QIcon AppIcon();

    /// Draws glyph `index` into the square (0, 0, size, size) of `painter`; the
    /// glyphs are drawn in code, so any size (and a vector file) comes out sharp.
    /// An unknown index draws nothing.
    static void Paint(QPainter& painter, int index, double size);

private:
    QPixmap connected;
    QPixmap disconnected;
};

}  // namespace vyx::app
