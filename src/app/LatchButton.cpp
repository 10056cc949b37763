#include "LatchButton.h"

namespace vyx::app {

LatchButton::LatchButton(QWidget* parent) : QPushButton(parent) {
    setCheckable(true);
}

void LatchButton::nextCheckState() {
    if (isChecked() && !allowAllUp) {
        return;
    }
    QPushButton::nextCheckState();
}

}  // namespace vyx::app
