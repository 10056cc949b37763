#include "OpenFailureBox.h"

#include "ModalBox.h"
#include "PortTrouble.h"
#include "VyxApplication.h"

namespace vyx::app {

namespace {

constexpr const char* ListRefreshedText = "A lista de portas foi atualizada.";

}  // namespace

void OpenFailureBox::Show(const EComPort& error, const std::string& devicePath,
                          bool listRefreshed) {
    std::string text = PortTrouble::Explain(error, devicePath);
    if (listRefreshed) {
        text += '\n';
        text += ListRefreshedText;
    }
    text += "\n\n";
    text += error.what();
    ModalBox::Show({QString::fromStdString(text), QString::fromUtf8(VyxApplication::Title),
                    QMessageBox::Critical, QMessageBox::Ok});
}

}  // namespace vyx::app
