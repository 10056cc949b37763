#include "LinkLabel.h"

#include <QMouseEvent>

namespace vyx::app {

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {}

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
