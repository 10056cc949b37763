// Ports appearing and vanishing: a simulator's link in the virtual-port folder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "PortArrival.h"
#include "PtyPair.h"

namespace vyx {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Long enough never to be reached: an event ends each wait.
constexpr auto Limit = 20s;

class PortArrivalTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vyx-arrival-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root = pattern;
        sources.systemList = root + "/tty";
        sources.virtualFolder = root + "/ports";
        fs::create_directory(sources.systemList);
    }
    void TearDown() override { fs::remove_all(root); }

    void MakeFolder() {
        fs::create_directory(sources.virtualFolder);
        ::chmod(sources.virtualFolder.c_str(), 0700);
    }

    std::string root;
    ComPortSources sources;
};

TEST_F(PortArrivalTest, ALinkToAPseudoTerminalIsReportedAsItAppearsAndVanishes) {
    MakeFolder();
    PortArrival arrival(sources);
    EXPECT_TRUE(arrival.Present().empty());

    test::PtyPair unit;
    const std::string link = sources.virtualFolder + "/unit-1";
    fs::create_symlink(unit.SlavePath(), link);
    const PortChanges appeared = arrival.Wait(Limit);
    EXPECT_EQ(appeared.Appeared, std::vector<std::string>{link});
    EXPECT_TRUE(appeared.Vanished.empty());
    EXPECT_EQ(arrival.Present(), std::vector<std::string>{link});

    fs::remove(link);
    const PortChanges vanished = arrival.Wait(Limit);
    EXPECT_TRUE(vanished.Appeared.empty());
    EXPECT_EQ(vanished.Vanished, std::vector<std::string>{link});
}

TEST_F(PortArrivalTest, AFolderMadeAfterWatchingStartedIsWatchedToo) {
    PortArrival arrival(sources);
    MakeFolder();
    test::PtyPair unit;
    const std::string link = sources.virtualFolder + "/unit-1";
    fs::create_symlink(unit.SlavePath(), link);
    EXPECT_EQ(arrival.Wait(Limit).Appeared, std::vector<std::string>{link});

    const std::string second = sources.virtualFolder + "/unit-2";
    fs::create_symlink(unit.SlavePath(), second);
    EXPECT_EQ(arrival.Wait(Limit).Appeared, std::vector<std::string>{second});
}

// A port is made under a hidden name and renamed into place: only the final name counts.
TEST_F(PortArrivalTest, AHiddenNameInTheFolderIsNoPort) {
    MakeFolder();
    PortArrival arrival(sources);
    test::PtyPair unit;
    fs::create_symlink(unit.SlavePath(), sources.virtualFolder + "/.unit-1.123");
    const std::string link = sources.virtualFolder + "/unit-2";
    fs::create_symlink(unit.SlavePath(), link);
    EXPECT_EQ(arrival.Wait(Limit).Appeared, std::vector<std::string>{link});
    EXPECT_EQ(arrival.Present(), std::vector<std::string>{link});
}

TEST_F(PortArrivalTest, AStopEndsTheWaitAtOnceAndEveryLaterOne) {
    PortArrival arrival(sources);
    arrival.Stop();
    EXPECT_TRUE(arrival.Wait(Limit).Empty());
    EXPECT_TRUE(arrival.Wait(Limit).Empty());
}

}  // namespace
}  // namespace vyx
