// vyxctl service --watch as a process, while simulated units appear in and
// vanish from a private virtual-port folder as a technician plugs and unplugs
// them, next to a port that is no Vyx.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "EditorPresets.h"
#include "PortFolder.h"
#include "ProfileFile.h"
#include "SimDevice.h"
#include "VyxctlProcess.h"

namespace vyx {
namespace {

enum class Unit { Current, Old, SlowOld, Other, Swapped };

enum class Act {
    Plug,       // a unit of `unit`'s kind on port `name`
    Unplug,     // the unit on `name` goes
    Mute,       // a pseudo-terminal that says nothing appears as `name`
    Await,      // the output shows `text`
    Absent,     // the output does not show `text` yet
    Packages,   // the unit on `name` has had `count` packages of its upload
    Interrupt,  // Ctrl+C
};

struct Step {
    Act act;
    std::string name;
    Unit unit = Unit::Current;
    std::string text;
    std::uint64_t count = 0;
};

Step Plug(const char* name, Unit unit) {
    return {Act::Plug, name, unit, {}, 0};
}
Step Unplug(const char* name) {
    return {Act::Unplug, name, {}, {}, 0};
}
Step Mute(const char* name) {
    return {Act::Mute, name, {}, {}, 0};
}
Step Await(std::string text) {
    return {Act::Await, {}, {}, std::move(text), 0};
}
Step Absent(std::string text) {
    return {Act::Absent, {}, {}, std::move(text), 0};
}
Step Packages(const char* name, std::uint64_t count) {
    return {Act::Packages, name, {}, {}, count};
}
Step Interrupt() {
    return {Act::Interrupt, {}, {}, {}, 0};
}

sim::SimOptions UnitOptions(Unit unit) {
    sim::SimOptions options;
    if (unit == Unit::Old || unit == Unit::SlowOld || unit == Unit::Swapped) {
        options.version = {4, 0, 2, 38};
    }
    if (unit == Unit::SlowOld) {
        options.replyDelay = std::chrono::milliseconds(1);  // the upload outlasts the steps
    }
    if (unit == Unit::Other) {
        options.id = {0x00000001, 0x00000002, 0x00000003};
    }
    if (unit == Unit::Swapped) {
        options.idAfterRestart = {0x00000001, 0x00000002, 0x00000003};
    }
    return options;
}

// The private runtime folder with its virtual-port folder, the units on it and
// the profile every unit gets.
class Workshop {
public:
    Workshop() : ports(runtime.Path() + "/vyx-ports"), profile(runtime.Path() + "/lower.json") {
        EXPECT_EQ(::mkdir(ports.c_str(), 0700), 0);
        EditorSnapshot lower = DefaultsSnapshot();
        lower.Text(EditorField::Vmx) = "100";
        EXPECT_FALSE(ProfileFile::Save(profile, lower));
    }
    ~Workshop() {
        for (const auto& [name, fd] : mutes) {
            ::close(fd);
        }
    }

    // `text` with each {name} replaced by that unit's port.
    std::string Text(std::string text) const {
        for (std::size_t at; (at = text.find('{')) != std::string::npos;) {
            const std::size_t end = text.find('}', at);
            text.replace(at, end - at + 1, ports + "/" + text.substr(at + 1, end - at - 1));
        }
        return text;
    }

    void Do(const Step& step, test::VyxctlProcess& run) {
        switch (step.act) {
            case Act::Plug: {
                sim::SimOptions options = UnitOptions(step.unit);
                options.portFolder = ports;
                options.linkName = step.name;
                auto& device = units[step.name];
                device = std::make_unique<sim::SimDevice>(std::move(options));
                device->Start();
                break;
            }
            case Act::Unplug:
                units.erase(step.name);
                break;
            case Act::Mute: {
                const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
                ASSERT_GE(master, 0);
                ASSERT_EQ(::grantpt(master), 0);
                ASSERT_EQ(::unlockpt(master), 0);
                mutes[step.name] = master;
                std::filesystem::create_symlink(::ptsname(master), ports + "/" + step.name);
                break;
            }
            case Act::Await:
                ASSERT_TRUE(run.Await(Text(step.text))) << step.text << "\n" << run.out;
                break;
            case Act::Absent:
                ASSERT_EQ(run.out.find(Text(step.text)), std::string::npos) << run.out;
                break;
            case Act::Packages: {
                const sim::SimDevice& device = *units.at(step.name);
                const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
                while (device.Status().packagesReceived < step.count &&
                       std::chrono::steady_clock::now() < until) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
                ASSERT_GE(device.Status().packagesReceived, step.count);
                break;
            }
            case Act::Interrupt:
                run.Signal(SIGINT);
                break;
        }
    }

    // Whether nothing was ever written to the pseudo-terminal `name`.
    bool Untouched(const std::string& name) const {
        char byte = 0;
        // Nothing to read: EAGAIN, or EIO once the last opener of its other end went.
        return ::read(mutes.at(name), &byte, 1) < 0;
    }

    test::PortFolder runtime;
    const std::string ports;
    const std::string profile;
    std::map<std::string, std::unique_ptr<sim::SimDevice>> units;
    std::map<std::string, int> mutes;
};

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

const std::string Lower = ": speed.max_kmh (Velocidade máxima permitida): 120 → 100\n";
const std::string Updated = ": firmware 4.0.2.38 → 4.0.2.39; 1 chave gravada e conferida\a\n";
const std::string Written = ": 1 chave gravada e conferida\a\n";
const std::string Again =
    ": 00A1B2C3 00000039 56595800 já foi atendido nesta sessão; não foi tocado de novo\n";

// The results of the visits the run recorded, oldest first.
std::vector<std::string> Recorded() {
    test::VyxctlProcess history({"history", "--json"});
    history.Wait();
    std::vector<std::string> results;
    for (std::size_t at = 0, end; (end = history.out.find('\n', at)) != std::string::npos;
         at = end + 1) {
        results.insert(results.begin(),
                       nlohmann::json::parse(history.out.substr(at, end - at))["result"]);
    }
    return results;
}

std::string Summary(int served, int failed, int stopped) {
    return "atendidos: " + std::to_string(served) + "; com falha: " + std::to_string(failed) +
           "; em andamento, parados: " + std::to_string(stopped) + "\n";
}

TEST(VyxctlWatch, ServesEachUnitThatAppearsOnceUntilCtrlC) {
    const struct {
        const char* name;
        bool quiet;
        std::vector<Step> steps;
        int exit;
        std::vector<std::pair<std::string, std::size_t>> shown;  // text, times
        std::size_t bells;
        std::vector<std::string> recorded;  // one visit per unit served, oldest first
    } cases[] = {
        {"a unit appears and is served, with the bell",
         false,
         {Plug("a", Unit::Old), Await("{a}" + Updated)},
         0,
         {{"{a}" + Lower, 1}, {Summary(1, 0, 0), 1}},
         1,
         {"concluída"}},
        {"--quiet rings no bell",
         true,
         {Plug("a", Unit::Current), Await("{a}: 1 chave gravada e conferida\n")},
         0,
         {{Summary(1, 0, 0), 1}},
         0,
         {"concluída"}},
        {"a second unit is served while the first one is",
         false,
         {Plug("a", Unit::SlowOld), Packages("a", 50), Plug("b", Unit::Other),
          Await("{b}" + Written), Absent("{a}" + Updated), Await("{a}" + Updated)},
         0,
         {{Summary(2, 0, 0), 1}},
         2,
         {"concluída", "concluída"}},
        {"a unit unplugged mid-upload is served again when it returns",
         false,
         {Plug("a", Unit::SlowOld), Packages("a", 100), Unplug("a"), Await("{a}: desconectado\n"),
          Plug("a", Unit::Old), Await("{a}" + Updated)},
         0,
         {{Summary(1, 0, 0), 1}},
         1,
         {"interrompida", "concluída"}},
        {"a served unit plugged in again says so once and is not served",
         false,
         {Plug("a", Unit::Current), Await("{a}" + Written), Unplug("a"),
          Await("{a}: desconectado\n"), Plug("a", Unit::Current), Await("{a}" + Again)},
         0,
         {{"{a}" + Written, 1}, {"{a}" + Again, 1}, {Summary(1, 0, 0), 1}},
         1,
         {"concluída"}},
        {"a port that is no Vyx is left as found",
         false,
         {Mute("m"), Await("{m}: nenhum anúncio em 1000 ms; a porta foi deixada como estava\n")},
         0,
         {{Summary(0, 0, 0), 1}},
         0,
         {}},
        {"Ctrl+C mid-visit stops the unit and sums up",
         false,
         {Plug("a", Unit::SlowOld), Packages("a", 100), Interrupt()},
         5,
         {{"{a}: envio do firmware interrompido no pacote ", 1}, {Summary(0, 0, 1), 1}},
         0,
         {"interrompida"}},
        {"a unit that announces another ID after its restart is stopped unwritten",
         false,
         {Plug("a", Unit::Swapped),
          Await("{a}: depois de reiniciar o Vyx anunciou outro ID, 00000001 00000002 00000003; "
                "parado sem gravar\n")},
         1,
         {{"{a}" + Lower, 0}, {Summary(0, 1, 0), 1}},
         0,
         {"falhou"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Workshop shop;
        std::vector<std::string> arguments{"service", "--watch", "--listen", "1000", shop.profile};
        if (c.quiet) {
            arguments.push_back("--quiet");
        }
        ::setenv("XDG_RUNTIME_DIR", shop.runtime.Path().c_str(), 1);
        ::setenv("XDG_DATA_HOME", shop.runtime.Path().c_str(), 1);
        test::VyxctlProcess run(arguments, test::VyxctlProcess::ErrorsWithOutput);
        ::unsetenv("XDG_RUNTIME_DIR");
        ASSERT_TRUE(run.Started());
        ASSERT_TRUE(run.Await("Ctrl+C encerra\n"));
        for (const Step& step : c.steps) {
            shop.Do(step, run);
        }
        if (std::none_of(c.steps.begin(), c.steps.end(),
                         [](const Step& s) { return s.act == Act::Interrupt; })) {
            run.Signal(SIGINT);
        }
        EXPECT_EQ(run.Wait(), c.exit) << run.out;
        for (const auto& [text, times] : c.shown) {
            EXPECT_EQ(Count(run.out, shop.Text(text)), times) << text << "\n" << run.out;
        }
        EXPECT_EQ(Count(run.out, "\a"), c.bells) << run.out;
        for (const auto& [name, fd] : shop.mutes) {
            EXPECT_TRUE(shop.Untouched(name)) << name;
        }
        EXPECT_EQ(Recorded(), c.recorded);
    }
}

}  // namespace
}  // namespace vyx
