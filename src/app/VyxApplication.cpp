#include "VyxApplication.h"

#include <QStyle>
#include <QStyleFactory>
#include <memory>

#include "GlyphList.h"
#include "Look.h"
#include "ModalBox.h"
#include "Unit1.h"

namespace vyx::app {

VyxApplication::VyxApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QString::fromUtf8(Title));
    // One style everywhere, so the absolute layout looks the same on every desktop.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        setStyle(fusion);
    }
    QPalette palette = style()->standardPalette();
    palette.setColor(QPalette::Window, Look::WindowBackground());
    palette.setColor(QPalette::Button, Look::WindowBackground());
    setPalette(palette);
    setFont(Look::SansSerif8());
    setWindowIcon(GlyphList::AppIcon());
}

bool VyxApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowError(std::current_exception());
        return false;
    }
}

void VyxApplication::ShowError(std::exception_ptr error) {
    QString message;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        // A kind we know nothing about: the box still shows, with no message.
    }
    ModalBox::Show({message, QString::fromUtf8(Title), QMessageBox::Critical, QMessageBox::Ok});
}

int VyxApplication::Run() {
    try {
        auto form = std::make_unique<TForm1>();
        form->show();
        exec();
    } catch (...) {
        ShowError(std::current_exception());
    }
    return 0;
}

}  // namespace vyx::app
