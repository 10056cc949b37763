// The window's service record, driven as a technician does: the service fields
// typed in "Histórico", a simulated Vyx served and closed, and the visit listed.

#include <QFile>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "HistoryWindow.h"
#include "RecordStore.h"
#include "RoadRig.h"
#include "WindowRecord.h"
#include "WindowRoad.h"

namespace vyx::app::test {
namespace {

using namespace std::chrono_literals;

class WindowHistory : public WindowRoad {
protected:
    void SetUp() override {
        // The record goes to a folder of the test's own, never the user's.
        ASSERT_TRUE(dataHome.isValid());
        saved = qgetenv("XDG_DATA_HOME");
        hadSaved = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
        WindowRoad::SetUp();
    }
    void TearDown() override {
        WindowRoad::TearDown();
        if (hadSaved) {
            qputenv("XDG_DATA_HOME", saved);
        } else {
            qunsetenv("XDG_DATA_HOME");
        }
    }
    static void Type(QLineEdit* edit, const char* text) {
        QTest::keyClicks(edit, QString::fromUtf8(text));
        QTest::keyClick(edit, Qt::Key_Return);
    }

    QTemporaryDir dataHome;
    QByteArray saved;
    bool hadSaved = false;
};

TEST_F(WindowHistory, ServedDeviceIsListedWithTheTypedServiceFields) {
    sim::SimDevice& device = StartDevice(vyx::test::RoadDevice({4, 0, 2, 39}));
    TForm1& form = CreateWindow();
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_H, Qt::ControlModifier);
    HistoryWindow& history = form.History();
    ASSERT_TRUE(history.isVisible());
    Type(history.Technician, "Ana Souza");
    Type(history.Plate, "<b>ABC1D23</b>");
    Type(history.WorkOrder, "OS-7781");

    Select(device);
    ClickConnect();
    ASSERT_TRUE(WaitForLog(vyx::test::ReadDoneText, 5s)) << LogLines().join('|').toStdString();
    ClickConnect();
    ASSERT_TRUE(WaitFor([&] { return !form.Record().Recorder().Open(); }, 5s));

    history.Refresh();
    ASSERT_EQ(history.List->rowCount(), 1);
    const auto cell = [&](int column) {
        return history.List->item(0, column)->text().toStdString();
    };
    EXPECT_EQ(cell(1), "00A1B2C3 00000039 56595800");
    EXPECT_EQ(cell(2), "<b>ABC1D23</b>");  // as typed, never read as markup
    EXPECT_EQ(cell(3), "4.0.2.39");
    EXPECT_EQ(cell(4), "concluída");

    // A picture of the window for a person to look at, when asked for one.
    if (const QString folder = qEnvironmentVariable("VYX_SHOT_DIR"); !folder.isEmpty()) {
        history.List->selectRow(0);
        history.grab().save(folder + "/history-window.png");
        form.SetOuterWidth(TForm1::WideWidth);
        form.grab().save(folder + "/history-main-window.png");
        form.SetOuterWidth(TForm1::NarrowWidth);
    }

    // The selected visit's report, saved as the page it is and as PDF.
    history.List->selectRow(0);
    const QString html = dataHome.filePath("relatorio.html");
    const QString pdf = dataHome.filePath("relatorio.pdf");
    ASSERT_TRUE(history.SaveReport(html));
    ASSERT_TRUE(history.SaveReport(pdf));
    const auto start = [](const QString& path, qint64 size) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.read(size).toStdString() : std::string();
    };
    EXPECT_EQ(start(html, 16), "<!DOCTYPE html>\n");
    EXPECT_EQ(start(pdf, 5), "%PDF-");

    std::optional<record::StoredVisit> last;
    ASSERT_FALSE(form.Record().Store()->Last(last));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->Head.Door, "janela");
    EXPECT_EQ(last->Head.Technician, "Ana Souza");
    EXPECT_EQ(last->Head.WorkOrder, "OS-7781");
    EXPECT_EQ(last->Log.front(), "Conexão aberta...");

    // The listed visits exported: the one visit whole, a line of JSON or a CSV row.
    const QString lines = dataHome.filePath("visitas.jsonl");
    const QString table = dataHome.filePath("visitas.csv");
    ASSERT_TRUE(history.Export(lines));
    ASSERT_TRUE(history.Export(table));
    const auto text = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    };
    const std::string exported = text(lines);
    EXPECT_EQ(std::count(exported.begin(), exported.end(), '\n'), 1);
    EXPECT_NE(exported.find("\"uuid\":\"" + last->Head.Uuid + "\""), std::string::npos);
    const std::string rows = text(table);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 2);
    EXPECT_EQ(rows.find("\r\n" + last->Head.Uuid + ","), rows.find("\r\n"));
}

}  // namespace
}  // namespace vyx::app::test
