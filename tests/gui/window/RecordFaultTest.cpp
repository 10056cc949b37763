// A record that cannot be kept costs the window one log line, once; the
// session's outcomes go on arriving and nothing fails with them.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "WindowRecord.h"

namespace vyx::app {
namespace {

TEST(RecordFault, AnUnusableDatabaseIsOneLineAndTheWorkGoesOn) {
    QTemporaryDir dir;
    // A plain file where the database's folder should be.
    QFile blocker(dir.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    std::vector<std::string> lines;
    WindowRecord record((dir.filePath("blocker") + "/record.sqlite3").toStdString(),
                        [&](const std::string& line) { lines.push_back(line); });

    VisitRecorder& recorder = record.Recorder();
    recorder.PortOpened();
    IdentifiedDevice device;
    device.Identity.IdentityMode = 1;
    recorder.Identified(device);
    recorder.LogLine("Conexão aberta...");
    recorder.ConnectionClosed(CloseCause::Asked);

    EXPECT_EQ(record.Store(), nullptr);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("Registro de serviço indisponível: ", 0), 0u) << lines[0];
    EXPECT_EQ(recorder.Current()->Steps().size(), 2u);
}

}  // namespace
}  // namespace vyx::app
