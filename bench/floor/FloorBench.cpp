// The cost of one exchange, against the floor: the tool and a minimal client of
// the same exchanges meet the same minimal device (replying at once, or after
// 1 ms as a USB full-speed device does), in alternating rounds of one run. For
// `vyxctl flash`, `vyxctl write` (with its read-back) on 1 and 8 devices, and
// the window-free road's upload: wall time, CPU, system calls and context
// switches per exchange. Prints medians and ranges and the ratios to the floor;
// exits 1 when a figure is over its budget.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "../Median.h"
#include "DeviceRun.h"
#include "EditorPresets.h"
#include "FloorClient.h"
#include "MiniDevice.h"
#include "RoadRig.h"
#include "ThreadCounters.h"

namespace {

using vyx::bench::Median;

using namespace std::chrono_literals;
using vyx::bench::MiniDevice;
using vyx::bench::RequestLog;
using vyx::bench::ThreadCounters;
using Devices = std::vector<std::unique_ptr<MiniDevice>>;

constexpr std::array<std::uint8_t, 4> OldFirmware = {3, 0, 2, 38};
constexpr std::array<std::uint8_t, 4> Current = {4, 0, 2, 39};
constexpr double CpuBudget = 20;       // µs per exchange, replies at once
constexpr double CallsBudget = 5;      // system calls per exchange, replies at once
constexpr double UploadBudget = 1.25;  // flash and road upload against the floor
constexpr double ReadWriteBudget = 1.3;
constexpr double SlowWallBudget = 15;  // µs over the floor per exchange, 1 ms replies
constexpr double ManyBudget = 1.08;    // 8 devices against 1, 1 ms replies

struct Sample {
    double wall = -1;  // µs per exchange
    double cpu = 0;    // µs per exchange, the device threads left out
    double calls = -1;
    double switches = -1;
};

struct Scenario {
    Scenario(const char* name, std::array<std::uint8_t, 4> version, std::size_t devices,
             std::function<bool(const std::vector<std::string>&)> tool)
        : name(name), version(version), devices(devices), tool(std::move(tool)) {}
    const char* name;
    std::array<std::uint8_t, 4> version;
    std::size_t devices;
    std::function<bool(const std::vector<std::string>& ports)> tool;
    std::size_t exchanges = 0;  // per device, from the recording run
    RequestLog requests;
    std::vector<Sample> toolSamples, floorSamples;
    Sample toolCounts, floorCounts;
};

bool RunCli(vyx::cli::JobKind kind, const std::vector<std::string>& ports) {
    vyx::cli::JobRequest request;
    request.Kind = kind;
    request.Profile = vyx::CalveraSnapshot();
    for (const auto& r : vyx::cli::DeviceRun::Run(request, ports, true)) {
        if (r.Result.Exit != 0) {
            std::printf("  %s: %s\n", r.Port.c_str(), r.Result.Message.c_str());
            return false;
        }
    }
    return true;
}

bool RunRoad(const std::vector<std::string>& ports, const MiniDevice& device) {
    vyx::test::RoadHost road;
    return road.host.Connect(ports.front()) &&
           road.host.RunUntil([&] { return device.Ended(); }, 60s);
}

// One run: `client` against fresh devices, measured from the first request to the
// last reply; counted (and not timed) when `count`.
Sample RunOnce(Scenario& s, std::chrono::microseconds delay, bool count,
               const std::function<bool(const std::vector<std::string>&, const Devices&)>& client) {
    Devices devices;
    std::vector<std::string> ports;
    for (std::size_t i = 0; i < s.devices; ++i) {
        devices.push_back(std::make_unique<MiniDevice>(s.version, delay));
        ports.push_back(devices.back()->Path());
    }
    // Made after the devices' threads: only the client's threads are counted.
    std::unique_ptr<ThreadCounters> counters = count ? std::make_unique<ThreadCounters>() : nullptr;
    std::atomic<std::size_t> started{0}, ended{0};
    for (auto& d : devices) {
        d->Measure(
            s.exchanges,
            [&] {
                if (started++ == 0 && counters) {
                    counters->Enable();
                }
            },
            [&] {
                if (++ended == devices.size() && counters) {
                    counters->Disable();
                }
            });
    }
    Sample sample;
    const bool ok =
        client(ports, devices) && std::all_of(devices.begin(), devices.end(),
                                              [](const auto& d) { return d->WaitForEnd(10s); });
    if (!ok) {
        return sample;
    }
    sample.wall = 0;
    const auto first = std::min_element(devices.begin(), devices.end(), [](auto& a, auto& b) {
        return a->Start().wall < b->Start().wall;
    });
    const auto last = std::max_element(devices.begin(), devices.end(), [](auto& a, auto& b) {
        return a->End().wall < b->End().wall;
    });
    double deviceCpu = 0;
    long deviceSwitches = 0;
    for (const auto& d : devices) {
        deviceCpu += d->End().deviceCpu - d->Start().deviceCpu;
        deviceSwitches += d->End().deviceSwitches - d->Start().deviceSwitches;
    }
    const double exchanges = static_cast<double>(s.exchanges);
    const double all = exchanges * static_cast<double>(devices.size());
    // Each device's own stretch: devices that start apart (each waits for its own
    // announcement) must not count as slower exchanges.
    for (const auto& d : devices) {
        sample.wall +=
            std::chrono::duration<double, std::micro>(d->End().wall - d->Start().wall).count() /
            all;
    }
    sample.cpu = ((*last)->End().processCpu - (*first)->Start().processCpu - deviceCpu) * 1e6 / all;
    sample.switches = static_cast<double>((*last)->End().processSwitches -
                                          (*first)->Start().processSwitches - deviceSwitches) /
                      all;
    if (counters && counters->Counted()) {
        sample.calls = static_cast<double>(counters->SystemCalls()) / all;
        sample.switches = static_cast<double>(counters->ContextSwitches()) / all;
    }
    return sample;
}

bool Tool(Scenario& s, const std::vector<std::string>& ports, const Devices&) {
    return s.tool(ports);
}

bool Floor(const Scenario& s, const std::vector<std::string>& ports) {
    if (ports.size() == 1) {
        return vyx::bench::ReplayExchanges(ports.front(), s.requests);
    }
    std::vector<std::thread> clients;
    std::atomic<bool> ok{true};
    for (const auto& port : ports) {
        clients.emplace_back([&, port] {
            if (!vyx::bench::ReplayExchanges(port, s.requests)) {
                ok = false;
            }
        });
    }
    for (auto& c : clients) {
        c.join();
    }
    return ok;
}

// The tool's exchanges, recorded once for the floor to send the same ones.
bool Record(Scenario& s) {
    MiniDevice device(s.version, 0us);
    device.Record();
    if (!s.tool({device.Path()})) {
        return false;
    }
    s.requests = device.Recorded();
    s.exchanges = device.Requests();
    if (s.name == std::string("road upload")) {
        s.requests.ends.resize(std::min(s.requests.ends.size(), s.exchanges));
    }
    return s.exchanges > 0;
}

template <typename Field>
std::vector<double> Values(const std::vector<Sample>& samples, Field field) {
    std::vector<double> out;
    for (const Sample& s : samples) {
        out.push_back(s.*field);
    }
    return out;
}

struct Row {
    double toolWall, floorWall, ratio, toolCpu, floorCpu;
};

Row Print(const Scenario& s) {
    const auto tw = Values(s.toolSamples, &Sample::wall);
    const auto fw = Values(s.floorSamples, &Sample::wall);
    std::vector<double> ratios;
    for (std::size_t i = 0; i < tw.size() && i < fw.size(); ++i) {
        ratios.push_back(tw[i] / fw[i]);
    }
    Row row{Median(tw), Median(fw), Median(ratios), Median(Values(s.toolSamples, &Sample::cpu)),
            Median(Values(s.floorSamples, &Sample::cpu))};
    const auto range = [](const std::vector<double>& v) {
        return std::pair(*std::min_element(v.begin(), v.end()),
                         *std::max_element(v.begin(), v.end()));
    };
    const auto [twLo, twHi] = range(tw);
    const auto [fwLo, fwHi] = range(fw);
    const auto [rLo, rHi] = range(ratios);
    std::printf(
        "%-16s %4zu | %7.1f (%.1f-%.1f) | %7.1f (%.1f-%.1f) | %4.2f (%.2f-%.2f) | %5.1f %5.1f | "
        "%4.1f %4.1f | %4.2f %4.2f\n",
        s.name, s.exchanges, row.toolWall, twLo, twHi, row.floorWall, fwLo, fwHi, row.ratio, rLo,
        rHi, row.toolCpu, row.floorCpu, s.toolCounts.calls, s.floorCounts.calls,
        s.toolCounts.switches, s.floorCounts.switches);
    return row;
}

bool Over(const char* what, double value, double budget) {
    const bool over = value > budget;
    if (over) {
        std::printf("  over budget: %s %.2f > %.2f\n", what, value, budget);
    }
    return over;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::vector<Scenario> scenarios;
    scenarios.push_back({"vyxctl flash", OldFirmware, 1,
                         [](const auto& p) { return RunCli(vyx::cli::JobKind::Flash, p); }});
    scenarios.push_back({"vyxctl write x1", Current, 1,
                         [](const auto& p) { return RunCli(vyx::cli::JobKind::Write, p); }});
    scenarios.push_back({"vyxctl write x8", Current, 8,
                         [](const auto& p) { return RunCli(vyx::cli::JobKind::Write, p); }});
    scenarios.push_back({"road upload", OldFirmware, 1, {}});
    for (Scenario& s : scenarios) {
        if (s.name == std::string("road upload")) {
            // The road goes on after the upload (restart, read): the stretch is the upload.
            s.exchanges = scenarios.front().exchanges;
            s.requests = scenarios.front().requests;
            continue;
        }
        if (!Record(s)) {
            std::printf("%s: the tool did not complete against the device\n", s.name);
            return 1;
        }
    }
    bool ok = true;
    for (const auto delay : {0us, 1000us}) {
        for (Scenario& s : scenarios) {
            s.toolSamples.clear();
            s.floorSamples.clear();
        }
        for (int round = 0; round < rounds; ++round) {
            for (Scenario& s : scenarios) {
                const auto tool = [&](const auto& ports, const Devices& devices) {
                    return s.tool ? Tool(s, ports, devices) : RunRoad(ports, *devices.front());
                };
                const auto floor = [&](const auto& ports, const Devices&) {
                    return Floor(s, ports);
                };
                // Alternating which goes first, so neither always meets a warmer machine.
                if (round % 2 == 0) {
                    s.toolSamples.push_back(RunOnce(s, delay, false, tool));
                    s.floorSamples.push_back(RunOnce(s, delay, false, floor));
                } else {
                    s.floorSamples.push_back(RunOnce(s, delay, false, floor));
                    s.toolSamples.push_back(RunOnce(s, delay, false, tool));
                }
                if (s.toolSamples.back().wall < 0 || s.floorSamples.back().wall < 0) {
                    std::printf("%s: a run did not complete\n", s.name);
                    return 1;
                }
            }
        }
        for (Scenario& s : scenarios) {
            const auto tool = [&](const auto& ports, const Devices& devices) {
                return s.tool ? Tool(s, ports, devices) : RunRoad(ports, *devices.front());
            };
            s.toolCounts = RunOnce(s, delay, true, tool);
            s.floorCounts = RunOnce(
                s, delay, true, [&](const auto& ports, const Devices&) { return Floor(s, ports); });
        }
        std::printf(
            "\n== device replies after %lld us; %d rounds; per exchange: wall us median "
            "(range), ratio tool/floor, CPU us, system calls, context switches "
            "(tool floor)\n",
            static_cast<long long>(delay.count()), rounds);
        std::printf("%-16s %4s | %-22s | %-22s | %-16s | %-11s | %-9s | %s\n", "", "exch",
                    "tool wall", "floor wall", "ratio", "CPU", "calls", "switches");
        std::vector<Row> rows;
        for (const Scenario& s : scenarios) {
            rows.push_back(Print(s));
        }
        if (delay.count() == 0) {
            ok = !Over("vyxctl flash CPU per exchange (us)", rows[0].toolCpu, CpuBudget) && ok;
            ok = !Over("vyxctl flash system calls per exchange", scenarios[0].toolCounts.calls,
                       CallsBudget) &&
                 ok;
            ok = !Over("vyxctl flash against the floor", rows[0].ratio, UploadBudget) && ok;
            ok = !Over("road upload against the floor", rows[3].ratio, UploadBudget) && ok;
            ok = !Over("vyxctl write (read + write) against the floor", rows[1].ratio,
                       ReadWriteBudget) &&
                 ok;
        } else {
            for (std::size_t i = 0; i < rows.size(); ++i) {
                ok = !Over((std::string(scenarios[i].name) + ": wall over the floor (us)").c_str(),
                           rows[i].toolWall - rows[i].floorWall, SlowWallBudget) &&
                     ok;
            }
            ok = !Over("vyxctl write on 8 devices against 1", rows[2].toolWall / rows[1].toolWall,
                       ManyBudget) &&
                 ok;
        }
    }
    std::printf(ok ? "within budget\n" : "OVER BUDGET\n");
    return ok ? 0 : 1;
}
