#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "EditorPresets.h"
#include "PortFolder.h"
#include "ProfileFile.h"
#include "SimDevice.h"

namespace vyx {
namespace {

struct Outcome {
    int exit;
    std::string out;
};

Outcome Vyxctl(const std::string& arguments) {
    const std::string command = std::string(VYXCTL_PATH) + " " + arguments + " 2>/dev/null";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    Outcome run{-1, {}};
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        run.out += buffer;
    }
    const int status = ::pclose(pipe);
    run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class VyxctlProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(ProfileFile::Save(defaults.string(), DefaultsSnapshot()));
        std::ofstream(refused.string()) << "{ \"format_version\": 1 }";
    }
    // Each test its own folder: ctest runs them side by side.
    test::PortFolder folder;
    const std::filesystem::path dir = folder.Path();
    const std::filesystem::path defaults = dir / "vyxctl-test-defaults.json";
    const std::filesystem::path refused = dir / "vyxctl-test-refused.json";
};

TEST_F(VyxctlProgram, ExitStatusOfBadUsageRefusedProfilesAndMissingPorts) {
    const struct {
        std::string arguments;
        int exit;
    } cases[] = {
        {"", 2},
        {"--help", 0},
        {"frobnicate", 2},
        {"info", 2},
        {"info --port a --port b", 2},
        {"read --port a --listen 0", 2},
        {"write --port /dev/null " + refused.string(), 2},
        {"write --port /nonexistent/tty " + defaults.string(), 3},
        {"flash --port a --image " + defaults.string(), 2},
        {"flash --port a --image " + defaults.string() + " --trailer " + defaults.string(), 2},
        {"info --port /nonexistent/tty", 3},
        {"--version", 0},
        {"info --port ''", 2},
        {"info --port no-such-tty", 3},
        {"info --port a --listen abc", 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Vyxctl(c.arguments).exit, c.exit) << c.arguments;
    }
}

TEST_F(VyxctlProgram, JsonIsWellFormedForAPortNameThatIsNotUtf8) {
    const Outcome run = Vyxctl("info --json --port /tmp/bad\xffname");
    EXPECT_EQ(run.exit, 3);
    EXPECT_EQ(run.out.rfind("{\n  \"port\": \"/tmp/bad\xEF\xBF\xBDname\",\n", 0), 0U) << run.out;
}

TEST_F(VyxctlProgram, CommandsListsTheProfileAsTheWindowDoes) {
    const Outcome run = Vyxctl("commands " + defaults.string());
    EXPECT_EQ(run.exit, 0);
    EXPECT_EQ(run.out,
              "Comandos de configuração remota:\n"
              "#CPI[180]46______________PING\n"
              "#CBR[19200]4C____________RS232-B\n"
              "#CACP[11,11]18___________Aceleração\n"
              "#CACN[11,11]06___________Desaceleração\n"
              "#CVMX[120,5,11]23________Velocidade\n"
              "#CVCH[90,5,11]07_________Velocidade na chuva\n"
              "#CRPX[4500,5,11]08_______Rotação do motor\n"
              "#COCS[6,7,11]38__________Ociosidade do motor\n"
              "#CBGL[40,900,5,11]0B_____Banguela\n");
}

// A device whose stored speed limit (200 km/h, record byte 19) decodes but fails
// the editor's 0..150 check: read refuses to pass it off as a profile, --unchecked
// keeps it in one that write refuses, and no output path is replaced but a file.
TEST_F(VyxctlProgram, ValuesTheChecksRefuseAreKeptOnlyUnchecked) {
    sim::SimOptions options;  // a current release holding the defaults
    const std::uint8_t was = options.block[19];
    options.block[19] = 200;
    // The record's 24-bit byte sum, at byte 36, follows the change.
    const std::uint32_t sum =
        (options.block[36] << 16 | options.block[37] << 8 | options.block[38]) + 200 - was;
    options.block[36] = static_cast<std::uint8_t>(sum >> 16);
    options.block[37] = static_cast<std::uint8_t>(sum >> 8);
    options.block[38] = static_cast<std::uint8_t>(sum);
    options.portFolder = dir;
    sim::SimDevice device(options);
    device.Start();
    const std::string read = "read --port " + device.LinkPath();

    const Outcome refused = Vyxctl(read);
    EXPECT_EQ(refused.exit, 2);
    EXPECT_EQ(refused.out, "");

    const Outcome kept = Vyxctl(read + " --unchecked -o -");
    EXPECT_EQ(kept.exit, 0);
    EXPECT_NE(kept.out.find("\"unchecked\": true"), std::string::npos);
    EXPECT_NE(kept.out.find("\"max_kmh\": 200"), std::string::npos);
    const std::filesystem::path unchecked = dir / "unchecked.json";
    std::ofstream(unchecked.string()) << kept.out;
    EXPECT_EQ(Vyxctl("write --port " + device.LinkPath() + " " + unchecked.string()).exit, 2);

    const std::filesystem::path readOnly = dir / "read-only.json";
    std::ofstream(readOnly.string()) << "{}";
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
    std::filesystem::create_symlink("/dev/null", dir / "null-link");
    for (const std::filesystem::path& output :
         {std::filesystem::path("/dev/null"), dir / "null-link", readOnly}) {
        EXPECT_EQ(Vyxctl(read + " --unchecked -o " + output.string()).exit, 2) << output;
    }
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "null-link"));
}

// diff names what a write would change and writes nothing; so does write --dry-run;
// write shows the same lines, then writes, after which the device holds the profile.
TEST_F(VyxctlProgram, DiffAndDryRunShowWhatAWriteChangesAndWriteNothing) {
    sim::SimOptions options;  // the defaults
    options.portFolder = dir;
    sim::SimDevice device(options);
    device.Start();
    const std::filesystem::path lower = dir / "lower.json";
    EditorSnapshot profile = DefaultsSnapshot();
    profile.Text(EditorField::Vmx) = "100";
    profile.Text(EditorField::Vch) = "80";
    ASSERT_FALSE(ProfileFile::Save(lower.string(), profile));
    const std::string port = device.LinkPath();
    const std::string changes =
        "speed.max_kmh (Velocidade máxima permitida): 120 → 100\n"
        "rain_speed.max_kmh (Velocidade máxima permitida): 90 → 80\n";
    const struct {
        std::string arguments;
        int exit;
        std::string out;
    } steps[] = {
        {"diff --port " + port + " " + defaults.string(), 0, port + ": igual ao perfil\n"},
        {"diff --port " + port + " " + lower.string(), 1,
         changes + port + ": difere do perfil em 2 chaves\n"},
        {"write --dry-run --port " + port + " " + lower.string(), 1,
         changes + port + ": difere do perfil em 2 chaves\n"},
        {"write --port " + port + " " + lower.string(), 0,
         changes + port + ": gravado e conferido\n"},
        {"diff --port " + port + " " + lower.string(), 0, port + ": igual ao perfil\n"},
    };
    for (const auto& step : steps) {
        const Outcome run = Vyxctl(step.arguments);
        EXPECT_EQ(run.exit, step.exit) << step.arguments;
        EXPECT_EQ(run.out, step.out) << step.arguments;
    }
}

// service serves a unit whole, once: an old one gets the firmware, then the
// plan's profile; served again it is left as it is; one the plan does not name,
// and any unit under a refused plan, is not touched.
TEST_F(VyxctlProgram, ServiceUpdatesWritesAndLeavesAloneAsThePlanSays) {
    sim::SimOptions old;
    old.version = {4, 0, 2, 38};
    old.portFolder = dir;
    old.linkName = "truck";
    sim::SimOptions other;
    other.id = {0x00000001, 0x00000002, 0x00000003};
    other.portFolder = dir;
    other.linkName = "other";
    sim::SimDevice truck(old);
    sim::SimDevice stranger(other);
    truck.Start();
    stranger.Start();
    EditorSnapshot profile = DefaultsSnapshot();
    profile.Text(EditorField::Vmx) = "100";
    profile.Text(EditorField::Vch) = "80";
    ASSERT_FALSE(ProfileFile::Save((dir / "lower.json").string(), profile));
    std::ofstream((dir / "plan.csv").string())
        << "id,profile,plate\n00A1B2C3 00000039 56595800,lower.json,ABC1D23\n";
    std::ofstream((dir / "bad.csv").string())
        << "00A1B2C3 00000039 56595800,lower.json\n00A1B2C3 00000039 56595800,lower.json\n";
    const std::string t = truck.LinkPath();
    const std::string o = stranger.LinkPath();
    const std::string plan = " --plan " + (dir / "plan.csv").string();
    const struct {
        std::string arguments;
        int exit;
        std::string out;
    } steps[] = {
        {"service --port " + t + " --plan " + (dir / "bad.csv").string(), 2, ""},
        {"service --port " + t + plan + " " + defaults.string(), 2, ""},
        {"service --port " + t, 2, ""},
        {"service --port " + t + plan, 0,
         t + ": speed.max_kmh (Velocidade máxima permitida): 120 → 100\n" + t +
             ": rain_speed.max_kmh (Velocidade máxima permitida): 90 → 80\n" + t +
             ": firmware 4.0.2.38 → 4.0.2.39; 2 chaves gravadas e conferidas\n"},
        {"service --port " + t + plan, 0, t + ": já estava conforme o perfil\n"},
        {"service --port " + o + plan, 1,
         o + ": fora do plano: 00000001 00000002 00000003; não foi tocado\n"},
        {"service --port " + o + " " + defaults.string(), 0, o + ": já estava conforme o perfil\n"},
    };
    for (const auto& step : steps) {
        const Outcome run = Vyxctl(step.arguments);
        EXPECT_EQ(run.exit, step.exit) << step.arguments;
        EXPECT_EQ(run.out, step.out) << step.arguments;
    }
}

}  // namespace
}  // namespace vyx
