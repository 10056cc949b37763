#include "Look.h"

#include <QStringList>

namespace vyx::app {

namespace {

// Narrow sans faces first: the labels were measured in a narrow face and a wide
// one would run into the edits beside them.
const QStringList NarrowSans = {"MS Sans Serif", "Liberation Sans",       "Arimo",
                                "Nimbus Sans",   "DejaVu Sans Condensed", "DejaVu Sans"};

QFont Make(const QStringList& families, int pixelSize, bool bold, bool underline) {
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

}  // namespace

QFont Look::Verdana(int pixelSize, bool bold, bool underline) {
    return Make({"Verdana", "DejaVu Sans", "Bitstream Vera Sans"}, pixelSize, bold, underline);
}

QFont Look::Consolas(int pixelSize, bool bold) {
    QFont font = Make({"Consolas", "DejaVu Sans Mono", "Noto Sans Mono", "Noto Mono"}, pixelSize,
                      bold, false);
    font.setStyleHint(QFont::Monospace);
    return font;
}

QFont Look::SansSerif8() {
    return Make(NarrowSans, 10, false, false);
}

QFont Look::Tahoma(int pixelSize) {
    QStringList families = NarrowSans;
    families.prepend("Tahoma");
    return Make(families, pixelSize, false, false);
}

QFont Look::Arial(int pixelSize) {
    QStringList families = NarrowSans;
    families.prepend("Arial");
    return Make(families, pixelSize, false, false);
}

}  // namespace vyx::app
