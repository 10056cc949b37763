// The port list: terminal devices and the user's virtual-port folder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "EComPort.h"
#include "EnumComPorts.h"

namespace vyx {
namespace {

namespace fs = std::filesystem;

class EnumPorts : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vyx-enum-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root = pattern;
        sources.systemList = root + "/tty";
        sources.virtualFolder = root + "/ports";
        fs::create_directory(sources.systemList);
    }
    void TearDown() override { fs::remove_all(root); }

    // A terminal entry; with `type` set, the entry has a `type` file saying it.
    void AddTerminal(const std::string& name, bool device, const std::string& type = "") {
        const std::string entry = sources.systemList + "/" + name;
        fs::create_directory(entry);
        if (device) {
            fs::create_directory(entry + "/device");
        }
        if (!type.empty()) {
            std::ofstream(entry + "/type") << type << "\n";
        }
    }
    void AddVirtualFolder(mode_t mode) {
        fs::create_directory(sources.virtualFolder);
        ::chmod(sources.virtualFolder.c_str(), mode);
        fs::create_symlink("/dev/null", sources.virtualFolder + "/Sim");
        std::ofstream(sources.virtualFolder + "/notes.txt") << "not a port";
    }

    std::string root;
    ComPortSources sources;
};

TEST_F(EnumPorts, DevicesAndVirtualPortsAreListedByFullPathSortedIgnoringCase) {
    AddTerminal("ttyUSB3", true);
    AddTerminal("ttyusb2", true);
    AddTerminal("ttyUSB10", true);
    AddTerminal("ttyS0", true, "0");  // a placeholder UART
    AddTerminal("ttyS1", true, "4");
    AddTerminal("tty5", false);  // a virtual console
    AddVirtualFolder(0700);
    std::vector<std::string> list{"stale"};
    EnumComPorts(list, sources);
    const std::vector<std::string> expected{"/dev/ttyS1", "/dev/ttyUSB10", "/dev/ttyusb2",
                                            "/dev/ttyUSB3", sources.virtualFolder + "/Sim"};
    EXPECT_EQ(list, expected);
}

TEST_F(EnumPorts, AVirtualFolderOthersCouldFillAddsNothing) {
    AddTerminal("ttyACM0", true);
    struct Case {
        const char* name;
        mode_t mode;
        bool otherOwner;
    };
    const Case cases[] = {{"writable by the group", 0770, false},
                          {"writable by everyone", 0777, false},
                          {"owned by someone else", 0700, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AddVirtualFolder(c.mode);
        if (c.otherOwner) {
            if (::geteuid() != 0) {
                fs::remove_all(sources.virtualFolder);
                continue;  // only root can give a folder away
            }
            ASSERT_EQ(::chown(sources.virtualFolder.c_str(), 4242, 4242), 0);
        }
        std::vector<std::string> list;
        EnumComPorts(list, sources);
        EXPECT_EQ(list, std::vector<std::string>{"/dev/ttyACM0"});
        fs::remove_all(sources.virtualFolder);
    }
}

TEST_F(EnumPorts, AMissingVirtualFolderAddsNothing) {
    AddTerminal("ttyACM0", true);
    std::vector<std::string> list;
    EnumComPorts(list, sources);
    EXPECT_EQ(list, std::vector<std::string>{"/dev/ttyACM0"});
}

TEST_F(EnumPorts, AnUnreadableTerminalFolderIsError23AndKeepsTheList) {
    sources.systemList = root + "/missing";
    std::vector<std::string> list{"/dev/ttyUSB0", "/dev/ttyUSB1"};
    try {
        EnumComPorts(list, sources);
        ADD_FAILURE() << "no error";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.ErrorNumber, 23);
        EXPECT_EQ(e.SystemCode, ENOENT);
    }
    EXPECT_EQ(list, (std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyUSB1"}));
}

TEST(VirtualPortFolder, FollowsTheRuntimeFolderOrFallsBackToTmp) {
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string keep = saved != nullptr ? saved : "";
    ::setenv("XDG_RUNTIME_DIR", "/run/user/1000", 1);
    EXPECT_EQ(VirtualPortFolder(), "/run/user/1000/vyx-ports");
    ::setenv("XDG_RUNTIME_DIR", "", 1);
    EXPECT_EQ(VirtualPortFolder(), "/tmp/vyx-ports-" + std::to_string(::geteuid()));
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(VirtualPortFolder(), "/tmp/vyx-ports-" + std::to_string(::geteuid()));
    if (saved != nullptr) {
        ::setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
    }
}

}  // namespace
}  // namespace vyx
