#include "LinkLabel.h"

#include <QMouseEvent>

#include "Look.h"

namespace vyx::app {

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {}

LinkLabel::LinkLabel(QWidget* parent, const char* name, const QString& text, int x, int y)
    : QLabel(text, parent) {
    setObjectName(QString::fromLatin1(name));
    setFont(Look::Verdana(11, false, true));
    QPalette shade = palette();
    shade.setColor(QPalette::WindowText, Look::Grey());
    setPalette(shade);
    move(x, y);
    adjustSize();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        OnClick) {
        // Copy first: the handler may detach itself.
        auto handler = OnClick;
        handler();
    }
    QLabel::mouseReleaseEvent(event);
}

void LinkLabel::enterEvent(QEnterEvent* event) {
    if (OnMouseEnter) {
        OnMouseEnter();
    }
    QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
    if (OnMouseLeave) {
        OnMouseLeave();
    }
    QLabel::leaveEvent(event);
}

}  // namespace vyx::app
