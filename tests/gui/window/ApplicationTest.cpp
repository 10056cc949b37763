// The application-wide error display and the message boxes of the window.

#include <QEvent>
#include <stdexcept>

#include "FormFixture.h"
#include "VyxApplication.h"

namespace vyx::app::test {
namespace {

class Thrower : public QObject {
public:
    std::function<void()> Throw;
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            Throw();
        }
        return QObject::event(e);
    }
};

using ApplicationTest = FormFixture;

TEST_F(ApplicationTest, AnErrorInAHandlerIsShownAndTheLoopGoesOn) {
    Thrower thrower;
    thrower.Throw = [] { throw std::runtime_error("Porta fechada"); };
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&thrower, &event));
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, "Porta fechada");
    EXPECT_EQ(Boxes[0].Caption, "Vyx Tool");
    EXPECT_EQ(Boxes[0].Icon, QMessageBox::Critical);

    thrower.Throw = [] { throw 42; };
    QCoreApplication::sendEvent(&thrower, &event);
    ASSERT_EQ(Boxes.size(), 2u);
    EXPECT_TRUE(Boxes[1].Text.isEmpty());

    // Still delivering events afterwards.
    QObject plain;
    QEvent other(QEvent::User);
    EXPECT_TRUE(QCoreApplication::sendEvent(&plain, &other) || true);
    EXPECT_EQ(Boxes.size(), 2u);
}

TEST_F(ApplicationTest, WindowMessageBoxesKeepTheirTextCaptionIconAndButtons) {
    TForm1& form = Create();
    LinkHost& host = form;
    EXPECT_EQ(host.ShowMessage("A operação não pode ser concluida!", "ERRO #0x04", MsgIcon::Warning,
                               MsgButtons::Ok),
              MsgResult::Ok);
    Answer = QMessageBox::Yes;
    EXPECT_EQ(host.ShowMessage("?", "Q", MsgIcon::None, MsgButtons::YesNo), MsgResult::Yes);
    Answer = QMessageBox::No;
    EXPECT_EQ(host.ShowMessage("?", "Q", MsgIcon::None, MsgButtons::YesNo), MsgResult::No);
    ASSERT_EQ(Boxes.size(), 3u);
    EXPECT_EQ(Boxes[0].Text, QString::fromUtf8("A operação não pode ser concluida!"));
    EXPECT_EQ(Boxes[0].Caption, "ERRO #0x04");
    EXPECT_EQ(Boxes[0].Icon, QMessageBox::Warning);
    EXPECT_EQ(Boxes[0].Buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(Boxes[1].Icon, QMessageBox::NoIcon);
    EXPECT_EQ(Boxes[1].Buttons, QMessageBox::Yes | QMessageBox::No);
}

TEST_F(ApplicationTest, TimersFollowTheLogicsRequests) {
    TForm1& form = Create();
    LinkHost& host = form;
    host.SetTimerEnabled(TimerId::Timer3, true);
    EXPECT_TRUE(form.Timer3.isActive());
    EXPECT_TRUE(host.TimerEnabled(TimerId::Timer3));
    EXPECT_FALSE(host.TimerEnabled(TimerId::Timer1));
    host.SetTimerEnabled(TimerId::Timer3, false);
    EXPECT_FALSE(form.Timer3.isActive());
}

TEST_F(ApplicationTest, ProgressStaysWithinItsRange) {
    TForm1& form = Create();
    LinkHost& host = form;
    host.SetProgressMax(5);
    host.SetProgress(3);
    EXPECT_EQ(form.findChild<QWidget*>("ProgressBar1")->property("value").toInt(), 3);
    host.SetProgress(9);
    EXPECT_EQ(form.findChild<QWidget*>("ProgressBar1")->property("value").toInt(), 5);
}

}  // namespace
}  // namespace vyx::app::test
