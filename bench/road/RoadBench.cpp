// The road against the in-process simulated device on a pseudo-terminal,
// answering at once: firmware upload of 1,861 packages, configuration read plus
// write, both with whole replies and with replies cut into 64-byte chunks 1 ms
// apart, then the cost of an idle open port. Prints medians of several runs and
// the resends and receive faults seen; exits 1 when a figure is over its budget.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "../Median.h"
#include "RoadRig.h"

namespace {

using vyx::bench::Median;

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using vyx::test::RoadRig;

constexpr int Runs = 5;
constexpr double UploadBudget = 1.0;     // seconds
constexpr double ReadWriteBudget = 0.1;  // seconds
constexpr double IdleCpuBudget = 0.01;   // of one core
constexpr auto IdleSpan = 2s;
constexpr std::size_t UsbChunk = 64;
constexpr std::uint64_t ReadRequests = 5;

double Seconds(Clock::duration span) {
    return std::chrono::duration<double>(span).count();
}

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// When each log text was first appended.
class Milestones {
public:
    explicit Milestones(RoadRig& rig) {
        rig.host.OnAppend = [this](vyx::LogPane pane, const std::string& text) {
            if (pane == vyx::LogPane::Log) {
                at.try_emplace(text, Clock::now());
            }
        };
    }
    Clock::duration Between(const char* from, const char* to) const {
        return at.at(to) - at.at(from);
    }
    std::map<std::string, Clock::time_point> at;
};

struct Figures {
    std::vector<double> seconds;
    std::uint64_t resends = 0;
    std::int32_t faults = 0;
    bool failed = false;

    void Add(const RoadRig& rig, double time, std::uint64_t resent) {
        seconds.push_back(time);
        resends += resent;
        faults += rig.ReceiveFaults();
    }
};

vyx::sim::SimOptions Device(std::array<std::uint8_t, 4> version, std::size_t chunk) {
    vyx::sim::SimOptions options = vyx::test::RoadDevice(version);
    options.chunkSize = chunk;
    options.chunkGap = 1ms;
    return options;
}

Figures Upload(std::size_t chunk) {
    Figures figures;
    for (int run = 0; run < Runs; ++run) {
        RoadRig rig(Device({3, 0, 2, 38}, chunk));
        Milestones milestones(rig);
        if (!rig.Connect() || !rig.RunUntilLogged(vyx::test::TransferDoneText, 30s)) {
            figures.failed = true;
            return figures;
        }
        const double time =
            Seconds(milestones.Between(vyx::test::TransferStartText, vyx::test::TransferDoneText));
        figures.Add(rig, time, rig.Device().resendsSeen);
    }
    return figures;
}

Figures ReadWrite(std::size_t chunk, Figures& readOnly) {
    Figures figures;
    for (int run = 0; run < Runs; ++run) {
        RoadRig rig(Device({4, 0, 2, 39}, chunk));
        Milestones milestones(rig);
        if (!rig.Connect() || !rig.RunUntilLogged(vyx::test::ReadDoneText, 5s)) {
            figures.failed = true;
            return figures;
        }
        const std::int32_t readFaults = rig.ReceiveFaults();
        const auto click = Clock::now();
        const bool stored = rig.session.B_SetConfigClick() &&
                            rig.host.RunUntil(
                                [&] {
                                    return rig.CountLogged(vyx::test::TransferDoneText) == 1 &&
                                           rig.Device().configsStored == 1;
                                },
                                5s);
        if (!stored) {
            figures.failed = true;
            return figures;
        }
        const double read =
            Seconds(milestones.Between(vyx::test::ReadingText, vyx::test::ReadDoneText));
        const double write = Seconds(milestones.at.at(vyx::test::TransferDoneText) - click);
        const vyx::sim::SimStatus device = rig.Device();
        readOnly.seconds.push_back(read);
        figures.Add(rig, read + write, device.resendsSeen + (device.memoryReads - ReadRequests));
        figures.faults += readFaults;
        // Package 1's acknowledgement is logged once more when the schedule cleared it.
    }
    return figures;
}

bool Report(const char* what, const Figures& figures, double budget) {
    if (figures.failed) {
        std::printf("%s: the road did not complete\n", what);
        return false;
    }
    const double median = Median(figures.seconds);
    std::printf("%s: median %.3f s (budget %.1f s), %d runs, resends %llu, receive faults %d", what,
                median, budget, Runs, static_cast<unsigned long long>(figures.resends),
                figures.faults);
    std::printf("\n");
    return median <= budget && figures.resends == 0 && figures.faults == 0;
}

double IdleShare() {
    RoadRig rig(Device({4, 0, 2, 39}, 0));
    if (!rig.Connect() || !rig.RunUntilLogged(vyx::test::ReadDoneText, 5s)) {
        return 1.0;
    }
    const double before = CpuSeconds();
    const auto start = Clock::now();
    rig.host.RunFor(std::chrono::duration_cast<std::chrono::milliseconds>(IdleSpan));
    return (CpuSeconds() - before) / Seconds(Clock::now() - start);
}

}  // namespace

int main() {
    bool ok = true;
    for (const std::size_t chunk : {std::size_t{0}, UsbChunk}) {
        const char* replies = chunk == 0 ? "whole replies" : "64-byte chunks 1 ms apart";
        std::printf("-- %s\n", replies);
        ok = Report("firmware upload, 1,861 packages", Upload(chunk), UploadBudget) && ok;
        Figures read;
        const Figures readWrite = ReadWrite(chunk, read);
        ok = Report("configuration read + write", readWrite, ReadWriteBudget) && ok;
        if (!read.seconds.empty()) {
            std::printf("  of which the read: median %.3f s\n", Median(read.seconds));
        }
    }

    const double idle = IdleShare();
    std::printf("idle, port open for %lld s: %.3f %% of one core (budget %.0f %%)\n",
                static_cast<long long>(IdleSpan.count()), idle * 100, IdleCpuBudget * 100);
    ok = ok && idle <= IdleCpuBudget;

    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory of the bench process: %.1f MB\n",
                static_cast<double>(usage.ru_maxrss) / 1024.0);

    std::printf(ok ? "within budget\n" : "OVER BUDGET\n");
    return ok ? 0 : 1;
}
