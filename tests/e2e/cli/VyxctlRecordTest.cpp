#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <tuple>

#include "EditorPresets.h"
#include "PortFolder.h"
#include "ProfileFile.h"
#include "SimDevice.h"

namespace vyx {
namespace {

// Every test in this program records its visits away from the user's own
// record: the in-process jobs and the vyxctl processes they start alike.
class RecordAway : public ::testing::Environment {
public:
    void SetUp() override { ::setenv("XDG_DATA_HOME", folder.Path().c_str(), 1); }
    test::PortFolder folder;
};
[[maybe_unused]] const auto* const away = ::testing::AddGlobalTestEnvironment(new RecordAway);

struct Ran {
    int exit;
    std::string out;
};

Ran Vyxctl(const std::string& arguments, const char* errors = "2>/dev/null",
           const std::string& input = "/dev/null") {
    const std::string command =
        std::string(VYXCTL_PATH) + " " + arguments + " " + errors + " <" + input;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    Ran run{-1, {}};
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        run.out += buffer;
    }
    const int status = ::pclose(pipe);
    run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class VyxctlRecord : public ::testing::Test {
protected:
    // Each test its own record: ctest runs them side by side.
    void SetUp() override { ::setenv("XDG_DATA_HOME", folder.Path().c_str(), 1); }
    test::PortFolder folder;
    const std::filesystem::path dir = folder.Path();
};

TEST_F(VyxctlRecord, AReadIsKeptAsAVisitWithItsServiceFieldsAndReported) {
    sim::SimOptions options;
    options.portFolder = dir;
    sim::SimDevice device(options);
    device.Start();
    const std::string profile = (dir / "lido.json").string();
    ASSERT_EQ(Vyxctl("read --port " + device.LinkPath() +
                     " --technician 'Ana <b>' --vehicle ABC1D23 --work-order OS-7 -o " + profile)
                  .exit,
              0);

    const Ran history = Vyxctl("history --json");
    ASSERT_EQ(history.exit, 0);
    ASSERT_EQ(std::count(history.out.begin(), history.out.end(), '\n'), 1) << history.out;
    const auto visit = nlohmann::json::parse(history.out);
    const auto& head = visit;
    EXPECT_EQ(head["door"], "vyxctl");
    EXPECT_EQ(head["technician"], "Ana <b>");
    EXPECT_EQ(head["plate"], "ABC1D23");
    EXPECT_EQ(head["work_order"], "OS-7");
    EXPECT_EQ(head["device_id"], "00A1B2C3 00000039 56595800");
    EXPECT_EQ(head["result"], "concluída");

    EXPECT_EQ(Vyxctl("history --vehicle XYZ9999").out, "");
    const Ran report = Vyxctl("report --last -o -");
    EXPECT_EQ(report.exit, 0);
    EXPECT_NE(report.out.find("00A1B2C3 00000039 56595800"), std::string::npos);
    EXPECT_NE(report.out.find("Ana &lt;b&gt;"), std::string::npos);
    EXPECT_EQ(report.out.find("Ana <b>"), std::string::npos);

    // Another technician's export: this visit again, one of theirs, a torn row.
    std::string theirs = history.out;
    const std::string uuid = head["uuid"];
    theirs.replace(theirs.find(uuid), uuid.size(), "0badc0de-0000-4000-8000-000000000001");
    std::ofstream(dir / "theirs.jsonl") << history.out << theirs << "{\"record\": \"vyx-vis\n";
    const Ran import = Vyxctl("history import " + (dir / "theirs.jsonl").string());
    EXPECT_EQ(import.exit, 0);
    EXPECT_EQ(import.out, "1 visitas importadas, 1 já estavam no histórico, 1 linhas puladas\n");
    const Ran merged = Vyxctl("history --json");
    EXPECT_EQ(std::count(merged.out.begin(), merged.out.end(), '\n'), 2) << merged.out;
}

// A write is one visit of its unit: the read that finds the changes, the changes
// as printed, then the write and its read back.
TEST_F(VyxctlRecord, AWriteIsOneVisitKeepingItsChanges) {
    sim::SimOptions options;
    options.portFolder = dir;
    sim::SimDevice device(options);
    device.Start();
    EditorSnapshot profile = DefaultsSnapshot();
    profile.Text(EditorField::Vmx) = "100";
    const std::filesystem::path lower = dir / "lower.json";
    ASSERT_FALSE(ProfileFile::Save(lower.string(), profile));
    ASSERT_EQ(
        Vyxctl("write --port " + device.LinkPath() + " --note 'frota B' " + lower.string()).exit,
        0);
    const Ran history = Vyxctl("history --search 'FROTA b' --json");
    ASSERT_EQ(std::count(history.out.begin(), history.out.end(), '\n'), 1) << history.out;
    const auto visit = nlohmann::json::parse(history.out);
    EXPECT_EQ(visit["note"], "frota B");
    EXPECT_EQ(visit["result"], "concluída");
    std::vector<std::string> kinds;
    for (const auto& step : visit["steps"]) {
        kinds.push_back(step["kind"]);
    }
    EXPECT_EQ(kinds, (std::vector<std::string>{"identified", "config_read", "config_written",
                                               "config_read_back", "closed"}));
    const auto& log = visit["log"];
    EXPECT_NE(
        std::find(log.begin(), log.end(), "speed.max_kmh (Velocidade máxima permitida): 120 → 100"),
        log.end());
}

// A record that cannot be opened costs the visit, never the device work.
TEST_F(VyxctlRecord, ARecordThatCannotBeOpenedIsOneLineAndTheWorkGoesOn) {
    sim::SimOptions options;
    options.portFolder = dir;
    sim::SimDevice device(options);
    device.Start();
    std::ofstream(dir / "not-a-folder") << "x";
    ::setenv("XDG_DATA_HOME", (dir / "not-a-folder").c_str(), 1);
    const Ran info = Vyxctl("info --port " + device.LinkPath(), "2>&1 >/dev/null");
    EXPECT_EQ(info.exit, 0);
    // The device's log shares standard error: the record's fault is one line of it.
    const std::string line = "\nvyxctl: a visita não é registrada no histórico: ";
    const std::string errors = "\n" + info.out;
    EXPECT_NE(errors.find(line), std::string::npos) << info.out;
    EXPECT_EQ(errors.find(line), errors.rfind(line)) << info.out;
}

// On a terminal the purge asks first, and only "s" deletes.
TEST_F(VyxctlRecord, APurgeOnATerminalDeletesOnlyWhenTheAnswerIsYes) {
    sim::SimOptions options;
    options.portFolder = dir;
    sim::SimDevice device(options);
    device.Start();
    ASSERT_EQ(Vyxctl("info --port " + device.LinkPath()).exit, 0);
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(::grantpt(terminal), 0);
    ASSERT_EQ(::unlockpt(terminal), 0);
    const std::string typed = ::ptsname(terminal);
    const int keptOpen = ::open(typed.c_str(), O_RDWR | O_NOCTTY);
    for (const auto& [answer, said, left] :
         {std::tuple{"n\n", "nada foi apagado\n", 1}, {"s\n", "1 visitas apagadas\n", 0}}) {
        ASSERT_EQ(::write(terminal, answer, 2), 2);
        const Ran purge = Vyxctl("history purge --before 2999-01-01", "2>/dev/null", typed);
        EXPECT_EQ(purge.exit, 0);
        EXPECT_EQ(purge.out, said);
        const Ran history = Vyxctl("history --json");
        EXPECT_EQ(std::count(history.out.begin(), history.out.end(), '\n'), left);
    }
    ::close(keptOpen);
    ::close(terminal);
}

TEST_F(VyxctlRecord, RefusedArguments) {
    std::ofstream(dir / "not-an-export.txt") << "PLACA;ID\n";
    const struct {
        std::string arguments;
        int exit;
    } cases[] = {
        {"history --since ontem", 2},
        {"history --until 2026-13-40", 2},
        {"history --json --csv", 2},
        {"report", 2},
        {"report --last -o relatorio.PDF", 2},
        {"report 00000000-0000-4000-8000-000000000000", 6},
        {"report --last", 6},
        {"history purge", 2},
        {"history purge --before amanhã --yes", 2},
        {"history purge --before 2026-01-01", 2},  // no terminal, no --yes
        {"history purge --before 2026-01-01 --yes", 0},
        {"history import " + (dir / "none.jsonl").string(), 2},
        {"history import " + (dir / "not-an-export.txt").string(), 2},
        {"history", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Vyxctl(c.arguments).exit, c.exit) << c.arguments;
    }
}

}  // namespace
}  // namespace vyx
