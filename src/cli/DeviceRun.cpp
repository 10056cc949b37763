#include "DeviceRun.h"

#include <algorithm>
#include <cstdio>
#include <thread>

#include "EComPort.h"
#include "EnumComPorts.h"
#include "Interruption.h"
#include "ProgressReporter.h"
#include "Terminal.h"

namespace vyx::cli {

namespace {

constexpr const char* PortHeading = "PORTA";
constexpr const char* ExitHeading = "SAÍDA";
constexpr const char* VersionHeading = "VERSÃO";
constexpr const char* ResultHeading = "RESULTADO";
constexpr std::size_t ExitWidth = 5;
constexpr std::size_t VersionWidth = 12;

std::string Padded(const std::string& text, std::size_t width) {
    const std::size_t columns = Columns(text);
    return columns >= width ? text : text + std::string(width - columns, ' ');
}

}  // namespace

std::vector<PortResult> DeviceRun::Listen(std::chrono::milliseconds listen) {
    std::vector<std::string> ports;
    try {
        EnumComPorts(ports);
    } catch (const EComPort& e) {
        std::fprintf(stderr, "vyxctl: as portas não podem ser listadas: %s\n", e.what());
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
            // Listening for who is there is no service: no visit.
            request.Record = false;
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
    std::vector<std::string> named = options.Ports;
    if (const int exit = ResolvePortNames(named); exit != ExitDone) {
        chosen.Exit = exit;
        return chosen;
    }
    for (const std::string& port : named) {
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
    ProgressReporter reporter(stderr, RedrawsInPlace(stderr, ports.size()), ports);
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

int DeviceRun::Report(const std::vector<PortResult>& results, std::FILE* out) {
    // An interruption speaks for the whole run: the work stopped early.
    int exit = ExitDone;
    for (const PortResult& r : results) {
        if (exit == ExitDone || r.Result.Exit == ExitInterrupted) {
            exit = r.Result.Exit;
        }
    }
    if (results.size() == 1) {
        const PortResult& r = results.front();
        std::fprintf(out, "%s: %s\n", OneLine(r.Port).c_str(), OneLine(r.Result.Message).c_str());
        return exit;
    }
    std::size_t width = Columns(PortHeading);
    for (const PortResult& r : results) {
        width = std::max(width, Columns(OneLine(r.Port)));
    }
    std::fprintf(out, "%s  %s  %s  %s\n", Padded(PortHeading, width).c_str(),
                 Padded(ExitHeading, ExitWidth).c_str(),
                 Padded(VersionHeading, VersionWidth).c_str(), ResultHeading);
    for (const PortResult& r : results) {
        const auto& identity = r.Result.Restarted ? r.Result.Restarted : r.Result.Identity;
        const std::string version = identity ? VersionText(identity->Version) : "-";
        std::fprintf(out, "%s  %s  %s  %s\n", Padded(OneLine(r.Port), width).c_str(),
                     Padded(std::to_string(r.Result.Exit), ExitWidth).c_str(),
                     Padded(version, VersionWidth).c_str(), OneLine(r.Result.Message).c_str());
    }
    return exit;
}

std::string OneLine(const std::string& text) {
    std::string line;
    bool gap = false;
    for (const char c : text) {
        // Line breaks and other control characters would break the table's rows
        // (or drive the terminal): a run of them becomes one space.
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            gap = !line.empty();
            continue;
        }
        if (gap) {
            line += ' ';
            gap = false;
        }
        line += c;
    }
    return line;
}

std::size_t Columns(const std::string& text) {
    // UTF-8: every byte that does not continue a character starts one.
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace vyx::cli
