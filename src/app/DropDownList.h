#pragma once
// A drop-down list that tells when it is about to drop down, so the port list can
// be filled afresh each time the user opens it.

#include <QComboBox>
#include <functional>

namespace vyx::app {

class DropDownList : public QComboBox {
    Q_OBJECT

public:
    explicit DropDownList(QWidget* parent) : QComboBox(parent) {}

    /// Runs before the list shows its entries.
    std::function<void()> OnDropDown;

    void showPopup() override {
        if (OnDropDown) {
            OnDropDown();
        }
        QComboBox::showPopup();
    }
};

}  // namespace vyx::app
