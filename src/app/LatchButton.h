#pragma once
// A button that latches down when pressed and, unless all-up is allowed, cannot
// be released by a click: the click is still reported, and the program decides
// whether the button goes up.

#include <QPushButton>

namespace vyx::app {

class LatchButton : public QPushButton {
    Q_OBJECT

public:
    explicit LatchButton(QWidget* parent);

    /// Whether a click may release the button.
    void SetAllowAllUp(bool allow) { allowAllUp = allow; }
    bool AllowAllUp() const { return allowAllUp; }
    /// Down (pressed) state.
    bool Down() const { return isChecked(); }
    void SetDown(bool down) { setChecked(down); }

protected:
    void nextCheckState() override;

private:
    bool allowAllUp = true;
};

}  // namespace vyx::app
