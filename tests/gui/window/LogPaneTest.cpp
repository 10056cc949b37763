// The two log panes: lines, colours, clearing and the caret of Log.

#include <QTest>

#include "FormFixture.h"
#include "HeaderPanel.h"
#include "LinkLabel.h"
#include "ReleasePane.h"
#include "RichLog.h"

namespace vyx::app::test {
namespace {

using LogPaneTest = FormFixture;

const QColor Red(255, 0, 0);

TEST_F(LogPaneTest, AnAppendedTextWithALineBreakShowsAsTwoLines) {
    TForm1& form = Create();
    LinkHost& host = form;
    host.AppendLog(LogPane::Log, "Vyx v4.0.2.39\r\nId: 00000003 00000002 00000001");
    host.AppendLog(LogPane::Log, "");
    host.AppendLog(LogPane::Log, "O Vyx está atualizado!");
    EXPECT_EQ(form.Header().Log->Lines(),
              QStringList({"Vyx v4.0.2.39", "Id: 00000003 00000002 00000001", "",
                           QString::fromUtf8("O Vyx está atualizado!")}));
}

TEST_F(LogPaneTest, AnEmptyFirstLineIsKept) {
    TForm1& form = Create();
    LinkHost& host = form;
    host.AppendLog(LogPane::Log, "");
    host.AppendLog(LogPane::Log, "next");
    EXPECT_EQ(form.Header().Log->Lines(), QStringList({"", "next"}));
}

TEST_F(LogPaneTest, RedStaysForLaterLinesUntilThePaneIsCleared) {
    TForm1& form = Create();
    LinkHost& host = form;
    RichLog* log = form.Header().Log;
    host.AppendLog(LogPane::Log, "before");
    host.SetLogColour(LogPane::Log, LogRed);
    host.AppendLog(LogPane::Log, "warning");
    host.AppendLog(LogPane::Log, "after");
    EXPECT_EQ(log->LineColour(0), QColor(Qt::black));
    EXPECT_EQ(log->LineColour(1), Red);
    EXPECT_EQ(log->LineColour(2), Red);
    // The other pane keeps its own colour.
    host.AppendLog(LogPane::IdList, "00000001 00000002 00000003");
    EXPECT_EQ(form.Release().LogIdList->LineColour(0), QColor(Qt::black));

    host.ClearLog(LogPane::Log);
    EXPECT_TRUE(log->Lines().isEmpty());
    host.AppendLog(LogPane::Log, "fresh");
    EXPECT_EQ(log->LineColour(0), QColor(Qt::black));
}

TEST_F(LogPaneTest, APaneDropsItsOldestLinesPastItsLimit) {
    RichLog log(nullptr);
    log.AppendLine("first");
    log.SetColour(Red);
    for (int i = 1; i < RichLog::MaxLines; ++i) {
        log.AppendLine(QString::fromUtf8("Destino inválido!"));
    }
    log.AppendLine("last\r\nand one more");

    const QStringList lines = log.Lines();
    ASSERT_EQ(lines.size(), RichLog::MaxLines);
    EXPECT_EQ(lines.front(), QString::fromUtf8("Destino inválido!"));
    EXPECT_EQ(lines.back(), "and one more");
    EXPECT_EQ(log.LineColour(0), Red);
}

TEST_F(LogPaneTest, ColourValuesAreBlueGreenRed) {
    TForm1& form = Create();
    LinkHost& host = form;
    host.SetLogColour(LogPane::Log, 0xFF0000);
    host.AppendLog(LogPane::Log, "blue");
    EXPECT_EQ(form.Header().Log->LineColour(0), QColor(0, 0, 255));
}

TEST_F(LogPaneTest, AnyChangeOfEitherPanePutsTheCaretOfLogAtTheEnd) {
    TForm1& form = Create();
    RichLog* log = form.Header().Log;
    LinkHost& host = form;
    for (int i = 0; i < 30; ++i) {
        host.AppendLog(LogPane::Log, "line " + std::to_string(i));
    }
    const int end = log->toPlainText().size();
    EXPECT_EQ(log->textCursor().position(), end);

    // The user types at the start: the caret goes back to the end.
    QTextCursor cursor = log->textCursor();
    cursor.setPosition(0);
    log->setTextCursor(cursor);
    QTest::keyClicks(log, "x");
    EXPECT_EQ(log->textCursor().position(), log->toPlainText().size());

    cursor.setPosition(0);
    log->setTextCursor(cursor);
    host.AppendLog(LogPane::IdList, "00000001 00000002 00000003");
    EXPECT_EQ(log->textCursor().position(), log->toPlainText().size());
}

TEST_F(LogPaneTest, LimparEmptiesTheIdListAndItsCount) {
    TForm1& form = Create();
    LinkHost& host = form;
    host.AppendLog(LogPane::IdList, "00000001 00000002 00000003");
    host.SetIdListText("1");
    EXPECT_EQ(form.Release().L_IdList->text(), "1");

    QTest::mouseClick(form.Release().L_Clear, Qt::LeftButton);
    EXPECT_TRUE(form.Release().LogIdList->Lines().isEmpty());
    EXPECT_TRUE(form.Release().L_IdList->text().isEmpty());
}

}  // namespace
}  // namespace vyx::app::test
