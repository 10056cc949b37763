// vyxctl service --watch as a technician's bench sees it: what it costs while
// nothing is plugged in; how soon each of eight units plugged in 0.2 s apart is
// visited; and eight plugged in at once against one, at 1 ms device latency.
// Prints medians; exits 1 when a figure is over its budget.
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../Median.h"
#include "EditorPresets.h"
#include "PortFolder.h"
#include "ProfileFile.h"
#include "SimDevice.h"
#include "VyxctlProcess.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using vyx::bench::Median;

constexpr int Runs = 3;
constexpr int Units = 8;
constexpr auto Apart = 200ms;
constexpr auto IdleSpan = 20s;
constexpr double IdleBudget = 0.5;      // % of a core
constexpr double AppearBudget = 0.1;    // s from appearance to the visit's start
constexpr double TogetherBudget = 1.1;  // eight at once against one
constexpr const char* WrittenText = ": 1 chave gravada e conferida\n";
constexpr const char* UpdatedText = ": firmware 4.0.2.38 → 4.0.2.39; 1 chave gravada e conferida\n";

double Seconds(Clock::duration span) {
    return std::chrono::duration<double>(span).count();
}

// The CPU time the process used so far, in seconds (user and system).
double CpuSeconds(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The fields after the command's name in parentheses: utime and stime are 14 and 15.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i >= 14) {
            ticks += std::stoll(field);
        }
    }
    return static_cast<double>(ticks) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

class Bench {
public:
    Bench() : ports(runtime.Path() + "/vyx-ports"), profile(runtime.Path() + "/lower.json") {
        ::mkdir(ports.c_str(), 0700);
        vyx::EditorSnapshot lower = vyx::DefaultsSnapshot();
        lower.Text(vyx::EditorField::Vmx) = "100";
        ok = !vyx::ProfileFile::Save(profile, lower);
        ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
        run = std::make_unique<vyx::test::VyxctlProcess>(
            std::vector<std::string>{"service", "--watch", "--quiet", profile},
            vyx::test::VyxctlProcess::ErrorsWithOutput);
        ::unsetenv("XDG_RUNTIME_DIR");
        ok = ok && run->Await("Ctrl+C encerra\n");
    }
    ~Bench() {
        run->Signal(SIGINT);
        run->Wait();
    }

    // A unit with an ID and a port of its own, answering 1 ms late; `old`: its
    // firmware needs the upload.
    std::unique_ptr<vyx::sim::SimDevice> Plug(bool old) {
        vyx::sim::SimOptions options;
        options.portFolder = ports;
        options.linkName = "unit-" + std::to_string(++plugged);
        options.id = {0x00B00000U + static_cast<std::uint32_t>(plugged), 0x39, 0x56595800};
        options.replyDelay = 1ms;
        if (old) {
            options.version = {4, 0, 2, 38};
        }
        auto device = std::make_unique<vyx::sim::SimDevice>(std::move(options));
        device->Start();
        return device;
    }

    bool Served(const vyx::sim::SimDevice& device, const char* text) {
        return run->Await(device.LinkPath() + text);
    }

    vyx::test::PortFolder runtime;
    const std::string ports;
    const std::string profile;
    std::unique_ptr<vyx::test::VyxctlProcess> run;
    bool ok = false;
    int plugged = 0;
};

// Percent of a core the watch takes over IdleSpan with nothing plugged in.
double IdlePercent(Bench& bench) {
    std::this_thread::sleep_for(2s);  // the ports present at the start looked at
    const double before = CpuSeconds(bench.run->Pid());
    std::this_thread::sleep_for(IdleSpan);
    return (CpuSeconds(bench.run->Pid()) - before) / Seconds(IdleSpan) * 100;
}

// Seconds from each unit's appearance to the tool opening its port, eight
// units plugged in `Apart` from each other.
std::vector<double> AppearDelays(Bench& bench) {
    std::vector<std::unique_ptr<vyx::sim::SimDevice>> units;
    std::vector<Clock::time_point> plugged;
    std::vector<double> delays(Units, -1);
    const auto start = Clock::now();
    while (true) {
        const auto now = Clock::now();
        if (units.size() < Units && now >= start + Apart * static_cast<int>(units.size())) {
            units.push_back(bench.Plug(false));
            plugged.push_back(Clock::now());
        }
        bool all = units.size() == Units;
        for (std::size_t i = 0; i < units.size(); ++i) {
            if (delays[i] < 0 && units[i]->Status().opens > 0) {
                delays[i] = Seconds(Clock::now() - plugged[i]);
            }
            all = all && delays[i] >= 0;
        }
        if (all || now > start + 30s) {
            break;
        }
        std::this_thread::sleep_for(200us);
    }
    for (const auto& unit : units) {
        if (!bench.Served(*unit, WrittenText)) {
            return {};
        }
    }
    return delays;
}

// Seconds from plugging `count` old units in at once to the last one's outcome.
double Together(Bench& bench, int count) {
    std::vector<std::unique_ptr<vyx::sim::SimDevice>> units;
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        units.push_back(bench.Plug(true));
    }
    for (const auto& unit : units) {
        if (!bench.Served(*unit, UpdatedText)) {
            return -1;
        }
    }
    return Seconds(Clock::now() - start);
}

}  // namespace

int main() {
    Bench bench;
    if (!bench.ok) {
        std::printf("watch_bench: vyxctl service --watch did not start\n%s",
                    bench.run->out.c_str());
        return 1;
    }
    const double idle = IdlePercent(bench);
    std::vector<double> delays;
    std::vector<double> ones;
    std::vector<double> eights;
    for (int run = 0; run < Runs; ++run) {
        const std::vector<double> round = AppearDelays(bench);
        const double one = Together(bench, 1);
        const double eight = Together(bench, Units);
        if (round.empty() || one < 0 || eight < 0) {
            std::printf("watch_bench: a unit was not served\n%s", bench.run->out.c_str());
            return 1;
        }
        delays.insert(delays.end(), round.begin(), round.end());
        ones.push_back(one);
        eights.push_back(eight);
    }
    const double delay = Median(delays);
    const double ratio = Median(eights) / Median(ones);
    std::printf(
        "idle, nothing plugged in:            %.3f %% of a core over %.0f s (budget %.1f %%)\n",
        idle, Seconds(IdleSpan), IdleBudget);
    std::printf(
        "appearance to visit, 8 units 0.2 s apart: median %.1f ms, longest %.1f ms (budget %.0f "
        "ms)\n",
        delay * 1000, *std::max_element(delays.begin(), delays.end()) * 1000, AppearBudget * 1000);
    std::printf(
        "whole visit at 1 ms latency: one unit %.2f s, eight at once %.2f s: %.2fx (budget "
        "%.1fx)\n",
        Median(ones), Median(eights), ratio, TogetherBudget);
    return idle < IdleBudget && delay < AppearBudget && ratio <= TogetherBudget ? 0 : 1;
}
