// The window as the user first sees it, and what start-up does around it.

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "DropDownList.h"
#include "EditorPanel.h"
#include "FormFixture.h"
#include "HeaderPanel.h"
#include "LatchButton.h"
#include "LinkLabel.h"
#include "ReleasePane.h"
#include "RichLog.h"
#include "UpDown.h"

namespace vyx::app::test {
namespace {

using StartupTest = FormFixture;

TEST_F(StartupTest, WindowStartsNarrowWithItsVersionCaptionAndEveryFieldEmpty) {
    TForm1& form = Create();
    EXPECT_EQ(form.windowTitle(), "VyxTool v2.39.C");
    EXPECT_EQ(QCoreApplication::applicationName(), "Vyx Tool");
    EXPECT_EQ(form.size(), QSize(557, 742));
    EXPECT_EQ(form.OuterWidth(), TForm1::NarrowWidth);

    for (QLineEdit* edit : form.Editor().ValueEdits()) {
        EXPECT_TRUE(edit->text().isEmpty()) << edit->objectName().toStdString();
    }
    for (QCheckBox* box : form.findChildren<QCheckBox*>()) {
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    }
    const EditorPanel& editor = form.Editor();
    EXPECT_EQ(editor.CB_PING->count(), 10);
    EXPECT_EQ(editor.CB_A232->count(), 4);
    EXPECT_EQ(editor.CB_B232->count(), 4);
    EXPECT_EQ(editor.CB_PING->itemText(8), "180");
    EXPECT_EQ(editor.CB_B232->itemText(3), "115200");
    for (QComboBox* list : {editor.CB_PING, editor.CB_A232, editor.CB_B232}) {
        EXPECT_EQ(list->currentIndex(), -1) << list->objectName().toStdString();
    }
    EXPECT_FALSE(editor.B_SetConfig->isEnabled());
    EXPECT_TRUE(editor.B_RemConfig->isEnabled());
    EXPECT_FALSE(editor.CB_A232->isEnabled());

    EXPECT_TRUE(form.Header().L_Msg->text().isEmpty());
    EXPECT_TRUE(form.Release().L_IdList->text().isEmpty());
    EXPECT_TRUE(form.Header().Log->Lines().isEmpty());
    EXPECT_FALSE(form.Header().ButtonVCP->Down());
    EXPECT_FALSE(form.Header().ButtonVCP->icon().isNull());
    EXPECT_EQ(form.Header().ProgressBar1->maximum(), 100);
}

TEST_F(StartupTest, OnlyTheUpdateCheckAndTheLayoutFixRunAfterStart) {
    TForm1& form = Create(false);
    EXPECT_TRUE(form.Timer4.isActive());
    EXPECT_TRUE(form.Timer5.isActive());
    for (const QTimer* timer : {&form.Timer1, &form.Timer2, &form.Timer3}) {
        EXPECT_FALSE(timer->isActive());
    }
    EXPECT_EQ(form.Timer1.interval(), 500);
    EXPECT_EQ(form.Timer2.interval(), 50);
    EXPECT_EQ(form.Timer3.interval(), 100);
    EXPECT_EQ(form.Timer4.interval(), 1000);
    EXPECT_EQ(form.Timer5.interval(), 10);
}

TEST_F(StartupTest, LayoutFixEmptiesTheDesignValuesAndLiftsTheSpinnersOnce) {
    TForm1& form = Create(false);
    QLineEdit* vmx = EditNamed("ED_VMX");
    auto* spinner = Find<UpDown>("UD_VMX");
    EXPECT_EQ(vmx->text(), "120");
    EXPECT_EQ(spinner->y(), vmx->y());
    EXPECT_EQ(spinner->x(), vmx->x() + vmx->width());

    form.Timer5Timer();
    EXPECT_FALSE(form.Timer5.isActive());
    EXPECT_TRUE(vmx->text().isEmpty());
    EXPECT_EQ(spinner->y(), vmx->y() - 3);
    EXPECT_EQ(spinner->Position(), 120);  // the spinners keep their positions
    EXPECT_EQ(form.Editor().Spinners().size(), 16);
}

TEST_F(StartupTest, RemovesTheFourOlderCopiesFromItsFolderAndNothingElse) {
    const QStringList older = {"VyxTool v2.37.A.exe", "VyxTool v2.38.A.exe", "VyxTool v2.39.A.exe",
                               "VyxTool v2.39.B.exe"};
    const QStringList kept = {"VyxTool v2.39.C.exe", "VyxTool v2.36.A.exe", "vyxtool",
                              "VyxTool v2.37.A.exe.bak"};
    QDir folder(Folder.path());
    for (const QString& name : older + kept) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    Create();
    for (const QString& name : older) {
        EXPECT_FALSE(folder.exists(name)) << name.toStdString();
    }
    for (const QString& name : kept) {
        EXPECT_TRUE(folder.exists(name)) << name.toStdString();
    }
}

struct PortListCase {
    const char* Name;
    QStringList Ports;
    bool Fails;
    int Selected;
};

class PortListAtStart : public FormFixture, public ::testing::WithParamInterface<PortListCase> {};

TEST_P(PortListAtStart, SelectsTheFirstPortWhenThereIsOne) {
    Ports = GetParam().Ports;
    EnumerationFails = GetParam().Fails;
    TForm1& form = Create();
    DropDownList* list = form.Header().ComboBox1;
    EXPECT_EQ(list->count(), GetParam().Fails ? 0 : Ports.size());
    EXPECT_EQ(list->currentIndex(), GetParam().Selected);
    EXPECT_TRUE(Boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PortListAtStart,
    ::testing::Values(PortListCase{"Empty", {}, false, -1},
                      PortListCase{"Two", {"/dev/ttyACM0", "/dev/ttyUSB0"}, false, 0},
                      PortListCase{"EnumerationFails", {"/dev/ttyACM0"}, true, -1}),
    [](const auto& info) { return std::string(info.param.Name); });

struct KeyCase {
    const char* Name;
    int StartWidth;
    Qt::KeyboardModifiers Modifiers;
    int Key;
    int EndWidth;
};

class WidthKey : public FormFixture, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(WidthKey, CtrlAltShiftF11TogglesTheWideLayout) {
    TForm1& form = Create();
    form.SetOuterWidth(GetParam().StartWidth);
    QTest::keyClick(EditNamed("ED_VMX"), static_cast<Qt::Key>(GetParam().Key),
                    GetParam().Modifiers);
    EXPECT_EQ(form.OuterWidth(), GetParam().EndWidth);
    EXPECT_EQ(form.height(), TForm1::ClientHeight);
}

constexpr Qt::KeyboardModifiers All = Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;

INSTANTIATE_TEST_SUITE_P(Cases, WidthKey,
                         ::testing::Values(KeyCase{"NarrowToWide", 563, All, Qt::Key_F11, 859},
                                           KeyCase{"WideToNarrow", 859, All, Qt::Key_F11, 563},
                                           KeyCase{"OtherWidthToWide", 700, All, Qt::Key_F11, 859},
                                           KeyCase{"WithoutAlt", 563,
                                                   Qt::ControlModifier | Qt::ShiftModifier,
                                                   Qt::Key_F11, 563},
                                           KeyCase{"OtherKey", 563, All, Qt::Key_F10, 563}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(StartupTest, PressingTheKeyTwiceReturnsToTheNarrowLayout) {
    TForm1& form = Create();
    QTest::keyClick(&form, Qt::Key_F11, All);
    QTest::keyClick(&form, Qt::Key_F11, All);
    EXPECT_EQ(form.OuterWidth(), TForm1::NarrowWidth);
}

TEST_F(StartupTest, WideLayoutShowsTheWholeRightHandPane) {
    TForm1& form = Create();
    form.SetOuterWidth(TForm1::WideWidth);
    const QRect pane = form.Release().GB_ReleaseMode->geometry();
    EXPECT_LE(pane.right(), form.width() - 1);
    EXPECT_GE(form.Release().Cb_Calvera->x(), TForm1::ClientWidth);
    EXPECT_GT(form.B_FwTx->x(), form.width());
}

}  // namespace
}  // namespace vyx::app::test
