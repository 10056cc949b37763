// vyxctl as a process, ended in the ways a technician's session ends it: Ctrl+C
// in the middle of an upload, a reader of its output that went away, a port that
// turned out not to be a Vyx. Each leaves the devices and their ports as found.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "PortFolder.h"
#include "SimDevice.h"
#include "VyxctlProcess.h"

namespace vyx {
namespace {

using namespace std::chrono_literals;

constexpr std::array<std::uint8_t, 4> Older = {3, 0, 2, 38};

using Process = test::VyxctlProcess;

struct Device {
    explicit Device(sim::SimOptions options, const char* name) {
        options.portFolder = folder.Path();
        options.linkName = name;
        device = std::make_unique<sim::SimDevice>(std::move(options));
        device->Start();
    }
    test::PortFolder folder;
    std::unique_ptr<sim::SimDevice> device;
};

// Waits (bounded) for something the simulator's thread brings about.
template <class F>
bool Eventually(F&& holds) {
    for (const auto until = std::chrono::steady_clock::now() + 20s;
         std::chrono::steady_clock::now() < until;) {
        if (holds()) {
            return true;
        }
        std::this_thread::sleep_for(1ms);
    }
    return false;
}

// Whether a user's open of the terminal would be refused (root may open and ask).
bool Exclusive(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno == EBUSY;
    }
    int exclusive = 0;
    ::ioctl(fd, TIOCGEXCL, &exclusive);
    ::close(fd);
    return exclusive != 0;
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

TEST(VyxctlEndings, CtrlCMidUploadOnSeveralDevicesSaysWhereEachStoppedAndGivesThePortsBack) {
    sim::SimOptions old;
    old.version = Older;
    old.replyDelay = 1ms;  // neither upload can end before the signal, however loaded the machine
    Device a(old, "a");
    Device b(old, "b");
    Process run({"flash", "--port", a.device->LinkPath(), "--port", b.device->LinkPath()});
    ASSERT_TRUE(Eventually([&] {
        return a.device->Status().packagesReceived >= 100 &&
               b.device->Status().packagesReceived >= 100;
    }));
    run.Signal(SIGINT);
    EXPECT_EQ(run.Wait(), 5);
    EXPECT_EQ(Count(run.out, "envio do firmware interrompido no pacote "), 2U) << run.out;
    EXPECT_EQ(Count(run.out, "o Vyx mantém o firmware antigo; execute flash de novo"), 2U);
    for (const Device* d : {&a, &b}) {
        EXPECT_EQ(d->device->Status().firmwareAccepted, 0U);
        EXPECT_FALSE(Exclusive(d->device->LinkPath()));
    }
}

TEST(VyxctlEndings, AReaderThatWentAwayDoesNotStopTheUpload) {
    sim::SimOptions old;
    old.version = Older;
    Device a(old, "a");
    int error[2];
    ASSERT_EQ(::pipe2(error, O_CLOEXEC), 0);
    ::close(error[0]);
    Process run({"flash", "--port", a.device->LinkPath()}, error[1]);
    ::close(error[1]);
    EXPECT_EQ(run.Wait(), 0);
    EXPECT_EQ(a.device->Status().firmwareAccepted, 1U);
}

// Every device that announced itself on the user's virtual ports gets a row:
// one in operating mode with what to do, two with the same ID each their file.
TEST(VyxctlEndings, AllVyxReportsEveryDeviceThatAnnouncedItself) {
    test::PortFolder runtime;
    const std::string ports = runtime.Path() + "/vyx-ports";
    ASSERT_EQ(::mkdir(ports.c_str(), 0700), 0);
    const std::string out = runtime.Path() + "/profiles";
    ASSERT_EQ(::mkdir(out.c_str(), 0700), 0);
    const auto publish = [&](const char* name, bool operating) {
        sim::SimOptions options;
        options.portFolder = ports;
        options.linkName = name;
        options.operatingMode = operating;
        auto device = std::make_unique<sim::SimDevice>(std::move(options));
        device->Start();
        return device;
    };
    const std::vector<std::unique_ptr<sim::SimDevice>> devices = [&] {
        std::vector<std::unique_ptr<sim::SimDevice>> all;
        all.push_back(publish("x", false));
        all.push_back(publish("y", false));
        all.push_back(publish("z", true));
        return all;
    }();
    ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    Process run({"read", "--listen", "1500", "--port", "all-vyx", "-o", out});
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(run.Wait(), 1);
    EXPECT_NE(run.out.find(ports + "/z  1"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("o Vyx está em modo de operação: desconecte todos os chicotes"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(out + "/00A1B2C3-00000039-56595800.json"));
    EXPECT_TRUE(std::filesystem::exists(out + "/00A1B2C3-00000039-56595800-2.json"));
}

// A neighbouring device at 9,600 bit/s in cooked mode, probed by mistake.
TEST(VyxctlEndings, APortThatIsNotAVyxIsLeftWithItsSettings) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string path = ::ptsname(master);
    termios found{};
    ASSERT_EQ(::tcgetattr(master, &found), 0);
    ::cfsetspeed(&found, B9600);
    ASSERT_EQ(::tcsetattr(master, TCSANOW, &found), 0);
    ASSERT_EQ(::tcgetattr(master, &found), 0);

    Process run({"info", "--listen", "50", "--port", path});
    EXPECT_EQ(run.Wait(), 4);
    termios after{};
    ASSERT_EQ(::tcgetattr(master, &after), 0);
    EXPECT_EQ(after.c_iflag, found.c_iflag);
    EXPECT_EQ(after.c_oflag, found.c_oflag);
    EXPECT_EQ(after.c_cflag, found.c_cflag);
    EXPECT_EQ(after.c_lflag, found.c_lflag);
    EXPECT_EQ(::cfgetospeed(&after), B9600);
    EXPECT_FALSE(Exclusive(path));
    ::close(master);
}

}  // namespace
}  // namespace vyx
