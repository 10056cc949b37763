#include "DeviceRun.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <thread>

#include "EComPort.h"
#include "EnumComPorts.h"
#include "Interruption.h"
#include "ProgressReporter.h"

namespace vyx::cli {

namespace {

constexpr const char* AllVyx = "all-vyx";

}  // namespace

std::vector<PortResult> DeviceRun::Listen(std::chrono::milliseconds listen) {
    std::vector<std::string> ports;
    try {
        EnumComPorts(ports);
    } catch (const EComPort& e) {
        std::fprintf(stderr, "vyxctl: the ports cannot be listed: %s\n", e.what());
        return {};
    }
    std::vector<PortResult> results(ports.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        results[i].Port = ports[i];
        threads.emplace_back([&, i] {
            JobRequest request;
            request.Kind = JobKind::Info;
            request.Port = ports[i];
            request.Listen = listen;
            results[i].Result = DeviceJob::Run(request, {});
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    return results;
}

PortChoice DeviceRun::ResolvePorts(const CliOptions& options) {
    PortChoice chosen;
    for (const std::string& port : options.Ports) {
        if (port != AllVyx) {
            chosen.Ports.push_back(port);
            continue;
        }
        for (PortResult& found : Listen(options.Listen)) {
            if (found.Result.Exit == ExitDone) {
                chosen.Ports.push_back(found.Port);
            } else if (found.Result.Identity) {
                chosen.Finished.push_back(std::move(found));
            }
        }
    }
    std::sort(chosen.Ports.begin(), chosen.Ports.end());
    chosen.Ports.erase(std::unique(chosen.Ports.begin(), chosen.Ports.end()), chosen.Ports.end());
    std::erase_if(chosen.Finished, [&](const PortResult& r) {
        return std::binary_search(chosen.Ports.begin(), chosen.Ports.end(), r.Port);
    });
    if (chosen.Empty()) {
        if (Interruption::Requested()) {
            chosen.Exit = ExitInterrupted;
            std::fprintf(stderr, "vyxctl: interrompido enquanto ouvia as portas; nada foi feito\n");
        } else {
            chosen.Exit = ExitNoAnnouncement;
            std::fprintf(stderr, "vyxctl: nenhum Vyx se anunciou em porta alguma\n");
        }
    }
    return chosen;
}

std::vector<PortResult> DeviceRun::Run(const JobRequest& request, const PortChoice& chosen) {
    std::vector<PortResult> results = Run(request, chosen.Ports);
    results.insert(results.end(), chosen.Finished.begin(), chosen.Finished.end());
    std::sort(results.begin(), results.end(),
              [](const PortResult& a, const PortResult& b) { return a.Port < b.Port; });
    return results;
}

std::vector<PortResult> DeviceRun::Run(const JobRequest& request,
                                       const std::vector<std::string>& ports, bool quiet) {
    ProgressReporter reporter(stderr, ::isatty(STDERR_FILENO) == 1, ports);
    std::vector<PortResult> results(ports.size());
    auto runOne = [&](std::size_t row) {
        JobRequest mine = request;
        mine.Port = ports[row];
        JobEvents events;
        if (quiet) {
            results[row] = {ports[row], DeviceJob::Run(mine, events)};
            return;
        }
        events.Log = [&, row](const std::string& text, bool red) { reporter.Log(row, text, red); };
        events.Progress = [&, row](int position, int maximum) {
            reporter.Progress(row, position, maximum);
        };
        results[row] = {ports[row], DeviceJob::Run(mine, events)};
    };
    if (ports.size() == 1) {
        runOne(0);
        return results;
    }
    std::vector<std::thread> threads;
    for (std::size_t row = 0; row < ports.size(); ++row) {
        threads.emplace_back(runOne, row);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    return results;
}

int DeviceRun::Report(const std::vector<PortResult>& results) {
    // An interruption speaks for the whole run: the work stopped early.
    int exit = ExitDone;
    for (const PortResult& r : results) {
        if (exit == ExitDone || r.Result.Exit == ExitInterrupted) {
            exit = r.Result.Exit;
        }
    }
    if (results.size() == 1) {
        const JobResult& r = results.front().Result;
        std::fprintf(stderr, "%s: %s\n", results.front().Port.c_str(), r.Message.c_str());
        return exit;
    }
    std::size_t width = 4;
    for (const PortResult& r : results) {
        width = std::max(width, r.Port.size());
    }
    std::printf("%-*s  %-4s  %-12s  %s\n", static_cast<int>(width), "PORT", "EXIT", "VERSION",
                "RESULT");
    for (const PortResult& r : results) {
        const auto& identity = r.Result.Restarted ? r.Result.Restarted : r.Result.Identity;
        const std::string version = identity ? VersionText(identity->Version) : "-";
        std::printf("%-*s  %-4d  %-12s  %s\n", static_cast<int>(width), r.Port.c_str(),
                    r.Result.Exit, version.c_str(), r.Result.Message.c_str());
    }
    return exit;
}

}  // namespace vyx::cli
