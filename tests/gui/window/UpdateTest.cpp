// The update check as the window shows it: L_Msg's three end states, the
// download question, the links and the hand cursor.

#include <QGuiApplication>
#include <QTest>

#include "FormFixture.h"
#include "HeaderPanel.h"
#include "LinkLabel.h"

namespace vyx::app::test {
namespace {

constexpr const char* SameVersion = "#*$(002.039.067@@002.039.067)$*# ";
constexpr const char* NewerVersion = "#*$(002.040.068@@002.040.068)$*# ";

class UpdateTest : public FormFixture {
protected:
    /// Ticks until the version file has been judged (the seventh tick).
    void TicksUntilJudged(TForm1& form) {
        for (int tick = 0; tick < 7; ++tick) {
            form.Timer4Timer();
        }
    }
};

TEST_F(UpdateTest, TheSameVersionOnTheServerSaysUpToDate) {
    WebAnswer = FetchState::Finished;
    WebBody = SameVersion;
    TForm1& form = Create();
    TicksUntilJudged(form);
    ASSERT_EQ(Requests.size(), 1u);
    EXPECT_FALSE(form.Timer4.isActive());
    LinkLabel* msg = form.Header().L_Msg;
    EXPECT_EQ(msg->text(), QString::fromUtf8("O VyxTool está atualizado"));
    EXPECT_FALSE(msg->font().underline());
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(UpdateTest, ANewerVersionRefusedBecomesALinkThatDownloadsOnce) {
    WebAnswer = FetchState::Finished;
    WebBody = NewerVersion;
    Answer = QMessageBox::No;
    TForm1& form = Create();
    TicksUntilJudged(form);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, QString::fromUtf8("Atualização VyxTool"));
    EXPECT_EQ(Boxes[0].Icon, QMessageBox::Information);
    EXPECT_EQ(Boxes[0].Buttons, QMessageBox::Yes | QMessageBox::No);

    LinkLabel* msg = form.Header().L_Msg;
    EXPECT_EQ(msg->text(), "Clique aqui para atualizar o VyxTool");
    EXPECT_TRUE(msg->font().underline());
    EXPECT_EQ(msg->palette().color(QPalette::WindowText), QColor(0, 0, 255));

    msg->OnMouseEnter();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    msg->OnMouseLeave();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    QTest::mouseClick(msg, Qt::LeftButton);
    ASSERT_EQ(Opened.size(), 1u);
    EXPECT_TRUE(Opened[0].toString(QUrl::FullyEncoded).endsWith("files/VyxTool%20v2.40.D.exe"));
    EXPECT_TRUE(msg->text().isEmpty());
    msg->resize(100, 13);
    QTest::mouseClick(msg, Qt::LeftButton);
    EXPECT_EQ(Opened.size(), 1u);
}

TEST_F(UpdateTest, ANewerVersionAcceptedStartsTheDownloadAtOnce) {
    WebAnswer = FetchState::Finished;
    WebBody = NewerVersion;
    Answer = QMessageBox::Yes;
    TForm1& form = Create();
    TicksUntilJudged(form);
    ASSERT_EQ(Opened.size(), 1u);
    EXPECT_TRUE(form.Header().L_Msg->text().isEmpty());
}

TEST_F(UpdateTest, TheSiteLinkOpensTheProductPage) {
    TForm1& form = Create();
    LinkLabel* site = form.Header().L_Site;
    EXPECT_TRUE(site->text().endsWith("vyx"));
    QTest::mouseClick(site, Qt::LeftButton);
    ASSERT_EQ(Opened.size(), 1u);
    EXPECT_EQ(Opened[0].toString(), site->text());
}

}  // namespace
}  // namespace vyx::app::test
