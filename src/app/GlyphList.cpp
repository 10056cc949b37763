#include "GlyphList.h"

#include <QPainter>
#include <QPainterPath>

namespace vyx::app {

namespace {

enum class Badge { Tick, Cross };

const QColor PlugGrey(0x3A, 0x3A, 0x3A);
const QColor TickGreen(0x1E, 0x9E, 0x3A);
const QColor CrossRed(0xD0, 0x20, 0x20);

// Draws in a 51 x 51 box; Paint scales the painter for other sizes.
void DrawPlug(QPainter& p, Badge badge) {
    p.setRenderHint(QPainter::Antialiasing);
    QPen outline(Qt::white, 1.6);
    outline.setJoinStyle(Qt::RoundJoin);

    // Cable, plastic body, then the metal shell with its two contact windows.
    p.setPen(outline);
    p.setBrush(PlugGrey);
    p.drawRect(QRectF(18.5, 36, 7, 13));
    p.drawRoundedRect(QRectF(10.5, 16, 23, 22), 3, 3);
    p.drawRect(QRectF(13.5, 2.5, 17, 14));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(16.5, 6.5, 4, 3.5));
    p.drawRect(QRectF(23.5, 6.5, 4, 3.5));

    // The USB trident on the body.
    QPen mark(Qt::white, 1.4, Qt::SolidLine, Qt::RoundCap);
    p.setPen(mark);
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(22, 34), QPointF(22, 21));
    p.drawLine(QPointF(22, 30), QPointF(17, 26));
    p.drawLine(QPointF(22, 28), QPointF(27, 24));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(22, 34), 1.6, 1.6);
    p.drawEllipse(QPointF(17, 25.5), 1.3, 1.3);
    p.drawRect(QRectF(26.2, 22.5, 2, 2));

    // The state badge in the lower right corner.
    const QPointF centre(38.5, 37.5);
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(badge == Badge::Tick ? TickGreen : CrossRed);
    p.drawEllipse(centre, 11, 11);
    QPen stroke(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(stroke);
    p.setBrush(Qt::NoBrush);
    if (badge == Badge::Tick) {
        QPainterPath tick;
        tick.moveTo(centre + QPointF(-5.5, 0.5));
        tick.lineTo(centre + QPointF(-1.5, 4.5));
        tick.lineTo(centre + QPointF(5.5, -4));
        p.drawPath(tick);
    } else {
        p.drawLine(centre + QPointF(-4.5, -4.5), centre + QPointF(4.5, 4.5));
        p.drawLine(centre + QPointF(-4.5, 4.5), centre + QPointF(4.5, -4.5));
    }
}

QPixmap Render(int index, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    GlyphList::Paint(p, index, size);
    return pixmap;
}

}  // namespace

GlyphList::GlyphList()
    : connected(Render(Connected, GlyphSize)), disconnected(Render(Disconnected, GlyphSize)) {}

void GlyphList::Paint(QPainter& painter, int index, double size) {
    if (index != Connected && index != Disconnected) {
        return;
    }
    painter.save();
    painter.scale(size / GlyphSize, size / GlyphSize);
    DrawPlug(painter, index == Connected ? Badge::Tick : Badge::Cross);
    painter.restore();
}

QPixmap GlyphList::Glyph(int index) const {
    switch (index) {
        case Connected:
            return connected;
        case Disconnected:
            return disconnected;
        default:
            return {};
    }
}

QIcon GlyphList::AppIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) {
        icon.addPixmap(Render(Connected, size));
    }
    return icon;
}

}  // namespace vyx::app
