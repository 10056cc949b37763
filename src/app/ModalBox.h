#pragma once
// Every modal message box of the tool goes through here. The boxes have no
// owner window (they stand on their own, as the tool's messages always have).
// Tests install a hook that records the box and answers it instead of a person.

#include <QMessageBox>
#include <QString>
#include <functional>

namespace vyx::app {

/// What a box shows.
struct BoxRequest {
    QString Text;
    QString Caption;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons Buttons = QMessageBox::Ok;
};

class ModalBox {
public:
    /// Answers a box instead of showing it.
    using Hook = std::function<QMessageBox::StandardButton(const BoxRequest&)>;

    /// Shows the box modally and returns the button that closed it.
    static QMessageBox::StandardButton Show(const BoxRequest& request);
    /// Replaces the real box (an empty hook restores it).
    static void SetHook(Hook hook);
};

}  // namespace vyx::app
