#include "UpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <algorithm>

namespace vyx::app {

UpDown::UpDown(QWidget* parent, QLineEdit* associate, int minimum, int maximum, int position,
               bool arrowKeys)
    : QWidget(parent),
      associate(associate),
      minimum(minimum),
      maximum(maximum),
      position(std::clamp(position, minimum, maximum)),
      arrowKeys(arrowKeys) {
    setGeometry(associate->x() + associate->width(), associate->y(), SpinnerWidth, SpinnerHeight);
    setFocusPolicy(Qt::NoFocus);
    if (arrowKeys) {
        associate->installEventFilter(this);
    }
}

void UpDown::SetPosition(int value) {
    position = std::clamp(value, minimum, maximum);
}

void UpDown::Step(int delta) {
    // A number the user typed counts as the current position when it fits the
    // range; anything else leaves the spinner where it was.
    bool ok = false;
    const int typed = associate->text().toInt(&ok);
    if (ok && typed >= minimum && typed <= maximum) {
        position = typed;
    }
    SetPosition(position + delta);
    associate->setText(QString::number(position));
}

void UpDown::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int half = height() / 2;
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= QStyle::State_Raised;
    for (int i = 0; i < 2; ++i) {
        option.rect = QRect(0, i * half, width(), i == 0 ? half : height() - half);
        style()->drawControl(QStyle::CE_PushButtonBevel, &option, &p, this);
        QStyleOption arrow = option;
        arrow.rect = option.rect.adjusted(3, 2, -3, -2);
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
                               &arrow, &p, this);
    }
}

void UpDown::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        Step(event->position().y() < height() / 2 ? 1 : -1);
    }
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == associate && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vyx::app
