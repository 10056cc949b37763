#include "ModalBox.h"

namespace vyx::app {

namespace {
ModalBox::Hook& CurrentHook() {
    static ModalBox::Hook hook;
    return hook;
}
}  // namespace

QMessageBox::StandardButton ModalBox::Show(const BoxRequest& request) {
    if (CurrentHook()) {
        return CurrentHook()(request);
    }
    // The texts carry the device's "\r\n" line breaks; a label wants "\n".
    QString text = request.Text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(request.Icon, request.Caption, text, request.Buttons, nullptr);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void ModalBox::SetHook(Hook hook) {
    CurrentHook() = std::move(hook);
}

}  // namespace vyx::app
