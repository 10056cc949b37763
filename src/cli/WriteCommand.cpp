#include <algorithm>

#include "CliCommands.h"
#include "CliRecord.h"
#include "DeviceRun.h"
#include "DiffCommand.h"

namespace vyx::cli {

int WriteCommand(const CliOptions& options) {
    // Nothing goes to any device from a refused profile.
    const std::optional<EditorSnapshot> profile = LoadProfileArgument(options.File);
    if (!profile) {
        return ExitBadUsage;
    }
    const PortChoice ports = DeviceRun::ResolvePorts(options);
    if (ports.Empty()) {
        return ports.Exit;
    }
    // One visit a unit: the read that finds the changes, then the write.
    UnitVisits visits;
    for (const std::string& port : ports.Ports) {
        visits[port] = std::make_shared<CliRecord>(options.Fields, true);
    }
    // What the write will change is shown before anything is written.
    const std::vector<PortDifferences> before = ReadDifferences(options, ports, *profile, visits);
    // A unit's visit ends with why its service failed, if it did.
    const auto end = [&](const PortResult& result, bool done) {
        if (const auto unit = visits.find(result.Port); unit != visits.end()) {
            unit->second->Recorder().End(done ? "" : OneLine(result.Result.Message));
        }
    };
    for (const PortDifferences& d : before) {
        if (d.Read) {
            visits[d.Outcome.Port]->Log(d.Lines);
        }
        if (options.DryRun) {
            end(d.Outcome, d.Read);
        }
    }
    if (options.DryRun) {
        return DeviceRun::Report(Outcomes(before));
    }
    // A device that could not be read is not written: it keeps why.
    JobRequest request;
    request.Kind = JobKind::Write;
    request.Listen = options.Listen;
    request.Profile = *profile;
    request.Fields = options.Fields;
    request.Visits = visits;
    std::vector<std::string> read;
    std::vector<PortResult> results;
    for (const PortDifferences& d : before) {
        if (d.Read) {
            read.push_back(d.Outcome.Port);
        } else {
            results.push_back(d.Outcome);
            if (results.back().Result.Exit == ExitInterrupted) {
                results.back().Result.Message =
                    "interrompido antes da gravação; o Vyx mantém a configuração anterior; "
                    "execute write de novo";
            }
        }
    }
    if (!read.empty()) {
        std::vector<PortResult> written = DeviceRun::Run(request, read);
        results.insert(results.end(), written.begin(), written.end());
    }
    for (const PortResult& result : results) {
        end(result, result.Result.Exit == ExitDone);
    }
    std::sort(results.begin(), results.end(),
              [](const PortResult& a, const PortResult& b) { return a.Port < b.Port; });
    return DeviceRun::Report(results);
}

}  // namespace vyx::cli
