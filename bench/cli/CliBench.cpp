// vyxctl against in-process simulated devices answering at once: a profile
// written (and read back) on 8 devices at once against 1, and a firmware upload
// against the same upload on the window-free road. Prints medians of several
// runs; exits 1 when a ratio is over its budget.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "../Median.h"
#include "DeviceRun.h"
#include "EditorPresets.h"
#include "RoadRig.h"

namespace {

using vyx::bench::Median;

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using vyx::cli::DeviceRun;
using vyx::cli::JobKind;
using vyx::cli::JobRequest;

constexpr int Runs = 5;
constexpr std::size_t Devices = 8;
constexpr double ManyBudget = 1.5;   // 8 devices against 1
constexpr double FlashBudget = 1.2;  // vyxctl against the road

constexpr const char* TransferStartText = "Iniciando atualização...";
constexpr const char* TransferDoneText = "Atualização concluída com sucesso!";

double Seconds(Clock::duration span) {
    return std::chrono::duration<double>(span).count();
}

struct Fleet {
    Fleet(std::size_t count, std::array<std::uint8_t, 4> version) {
        for (std::size_t i = 0; i < count; ++i) {
            vyx::sim::SimOptions options = vyx::test::RoadDevice(version);
            options.portFolder = folder.Path();
            options.linkName = "vyx-" + std::to_string(i);
            devices.push_back(std::make_unique<vyx::sim::SimDevice>(std::move(options)));
            devices.back()->Start();
            ports.push_back(devices.back()->LinkPath());
        }
    }
    vyx::test::PortFolder folder;
    std::vector<std::unique_ptr<vyx::sim::SimDevice>> devices;
    std::vector<std::string> ports;
};

// Seconds for `vyxctl write` on `count` devices at once, whole command; negative on failure.
double WriteOn(std::size_t count) {
    Fleet fleet(count, {4, 0, 2, 39});
    JobRequest request;
    request.Kind = JobKind::Write;
    request.Profile = vyx::CalveraSnapshot();
    const auto start = Clock::now();
    const auto results = DeviceRun::Run(request, fleet.ports, true);
    const double seconds = Seconds(Clock::now() - start);
    for (const auto& r : results) {
        if (r.Result.Exit != 0) {
            std::printf("  %s: %s\n", r.Port.c_str(), r.Result.Message.c_str());
            return -1;
        }
    }
    return seconds;
}

// The upload's span, from its first log line to its success line, through vyxctl.
double FlashWithVyxctl() {
    Fleet fleet(1, {3, 0, 2, 38});
    JobRequest request;
    request.Kind = JobKind::Flash;
    request.Port = fleet.ports.front();
    Clock::time_point start{}, done{};
    vyx::cli::JobEvents events;
    events.Log = [&](const std::string& text, bool) {
        if (text == TransferStartText) {
            start = Clock::now();
        } else if (text == TransferDoneText) {
            done = Clock::now();
        }
    };
    const auto result = vyx::cli::DeviceJob::Run(request, events);
    return result.Exit == 0 ? Seconds(done - start) : -1;
}

// The same span on the window-free road.
double FlashOnTheRoad() {
    vyx::test::RoadRig rig(vyx::test::RoadDevice({3, 0, 2, 38}));
    Clock::time_point start{}, done{};
    rig.host.OnAppend = [&](vyx::LogPane, const std::string& text) {
        if (text == TransferStartText) {
            start = Clock::now();
        } else if (text == TransferDoneText) {
            done = Clock::now();
        }
    };
    if (!rig.Connect() || !rig.RunUntilLogged(TransferDoneText, 30s)) {
        return -1;
    }
    return Seconds(done - start);
}

// Medians of `measure` and `baseline`, run in turn so that both meet the same
// load from the rest of the machine; negative when a run failed.
template <typename Measure, typename Baseline>
std::pair<double, double> MediansInTurn(Measure measure, Baseline baseline) {
    std::vector<double> values;
    std::vector<double> bases;
    for (int run = 0; run < Runs; ++run) {
        bases.push_back(baseline());
        values.push_back(measure());
        if (values.back() < 0 || bases.back() < 0) {
            return {-1, -1};
        }
    }
    return {Median(values), Median(bases)};
}

bool Compare(const char* what, double value, const char* baseName, double base, double budget) {
    if (value < 0 || base < 0) {
        std::printf("%s: did not complete\n", what);
        return false;
    }
    const double ratio = value / base;
    std::printf("%s: median %.3f s, %s %.3f s, ratio %.2f (budget %.1f), %d runs\n", what, value,
                baseName, base, ratio, budget, Runs);
    return ratio <= budget;
}

}  // namespace

int main() {
    bool ok = true;
    const auto [many, one] =
        MediansInTurn([] { return WriteOn(Devices); }, [] { return WriteOn(1); });
    ok = Compare("vyxctl write + read-back on 8 devices at once", many, "on 1 device", one,
                 ManyBudget) &&
         ok;
    const auto [flash, road] = MediansInTurn(FlashWithVyxctl, FlashOnTheRoad);
    ok = Compare("vyxctl flash, 1,861 packages", flash, "the road's upload", road, FlashBudget) &&
         ok;
    std::printf(ok ? "within budget\n" : "OVER BUDGET\n");
    return ok ? 0 : 1;
}
