#pragma once
// The up-down spinner beside a value edit. The edit stays a free text field:
// what the user types is judged by the write check, not by the spinner. The
// spinner keeps its own range and position and writes the position into the edit
// when stepped, after taking up the edit's number if that is a valid one.

#include <QWidget>

#include "EditorPlaces.h"

class QLineEdit;

namespace vyx::app {

class UpDown : public QWidget {
    Q_OBJECT

public:
    // The size the page's spinners take as well.
    static constexpr int SpinnerWidth = vyx::SpinnerWidth;
    static constexpr int SpinnerHeight = vyx::SpinnerHeight;

    /// Places itself against the right edge of `associate`, inside `parent`.
    /// With `arrowKeys`, the up and down keys step it while the edit has the focus.
    UpDown(QWidget* parent, QLineEdit* associate, int minimum, int maximum, int position,
           bool arrowKeys);

    int Minimum() const { return minimum; }
    int Maximum() const { return maximum; }
    int Position() const { return position; }
    bool ArrowKeys() const { return arrowKeys; }
    QLineEdit* Associate() const { return associate; }

    /// Sets the position, held within the range; the edit is not touched.
    void SetPosition(int value);
    /// One step up (+1) or down (-1), as a click on an arrow: no wrap-around.
    void Step(int delta);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* associate;
    int minimum;
    int maximum;
    int position;
    bool arrowKeys;
};

}  // namespace vyx::app
