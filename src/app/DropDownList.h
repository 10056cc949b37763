#pragma once
// A drop-down list that tells when it is about to drop down, so the port list can
// be filled afresh each time the user opens it.

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <algorithm>
#include <functional>

namespace vyx::app {

class DropDownList : public QComboBox {
    Q_OBJECT

public:
    explicit DropDownList(QWidget* parent) : QComboBox(parent) {}

    static constexpr int PopupMargin = 24;

    /// Runs before the list shows its entries.
    std::function<void()> OnDropDown;

    void showPopup() override {
        if (OnDropDown) {
            OnDropDown();
        }
        // Port names are full device paths, wider than the list itself.
        int widest = width();
        for (int i = 0; i < count(); ++i) {
            widest = std::max(widest, fontMetrics().horizontalAdvance(itemText(i)) + PopupMargin);
        }
        view()->setMinimumWidth(widest);
        QComboBox::showPopup();
    }
};

}  // namespace vyx::app
