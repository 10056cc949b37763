// Build-time tool: draws the application icon (the connect button's "connected"
// glyph) into a hicolor icon theme folder: PNGs at 48, 128 and 256 px and an SVG.
//
//   vyx-render-icons <folder> <name>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

#include "GlyphList.h"

namespace {

using vyx::app::GlyphList;

constexpr int PngSizes[] = {48, 128, 256};

bool WritePng(const QDir& theme, const QString& name, int size) {
    const QString folder = QStringLiteral("%1x%1/apps").arg(size);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        GlyphList::Paint(painter, GlyphList::Connected, size);
    }
    return theme.mkpath(folder) && image.save(theme.filePath(folder + '/' + name + ".png"));
}

bool WriteSvg(const QDir& theme, const QString& name) {
    const QString folder = QStringLiteral("scalable/apps");
    if (!theme.mkpath(folder)) {
        return false;
    }
    QSvgGenerator svg;
    svg.setFileName(theme.filePath(folder + '/' + name + ".svg"));
    svg.setSize(QSize(GlyphList::GlyphSize, GlyphList::GlyphSize));
    svg.setViewBox(QRect(0, 0, GlyphList::GlyphSize, GlyphList::GlyphSize));
    svg.setTitle(name);
    QPainter painter;
    if (!painter.begin(&svg)) {
        return false;
    }
    GlyphList::Paint(painter, GlyphList::Connected, GlyphList::GlyphSize);
    return painter.end();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: vyx-render-icons <folder> <name>\n", stderr);
        return 2;
    }
    const QDir theme(QString::fromLocal8Bit(argv[1]));
    const QString name = QString::fromLocal8Bit(argv[2]);
    bool written = WriteSvg(theme, name);
    for (int size : PngSizes) {
        written = WritePng(theme, name, size) && written;
    }
    if (!written) {
        std::fprintf(stderr, "vyx-render-icons: cannot write the icons into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
