#include <cstdio>

#include "CliCommands.h"
#include "DeviceRun.h"
#include "ProfileFile.h"
#include "ProfileFolder.h"

namespace vyx::cli {

namespace {

// Several devices: one profile each in the folder -o names, after the device's ID.
std::string OutputPath(const CliOptions& options, const JobResult& read, bool several,
                       ProfileFolder& folder) {
    return several ? folder.PathFor(read.Identity->Id) : options.Output;
}

}  // namespace

int ReadCommand(const CliOptions& options) {
    const bool several = options.Ports.size() > 1 || options.Ports.front() == "all-vyx";
    if (several && options.Output.empty()) {
        std::fprintf(stderr, "vyxctl read: várias portas precisam de -o PASTA para os perfis\n");
        return ExitBadUsage;
    }
    // Found out before any device is read (and perhaps repaired), not after.
    ProfileFolder folder(options.Output);
    if (several) {
        if (const auto problem = folder.Problem()) {
            std::fprintf(stderr, "vyxctl read: %s\n", problem->c_str());
            return ExitBadUsage;
        }
    }
    const PortChoice ports = DeviceRun::ResolvePorts(options);
    if (ports.Empty()) {
        return ports.Exit;
    }
    JobRequest request;
    request.Kind = JobKind::Read;
    request.Listen = options.Listen;
    std::vector<PortResult> results = DeviceRun::Run(request, ports);
    for (PortResult& r : results) {
        if (r.Result.Exit != ExitDone) {
            continue;
        }
        if (options.Output.empty()) {
            // Values the device holds may decode yet fail the editor's checks: no
            // profile can carry them, and an empty output must not pass for one.
            if (const auto text = ProfileFile::Format(r.Result.Editor)) {
                std::fputs(text->c_str(), stdout);
            } else {
                r.Result.Exit = ExitBadUsage;
                r.Result.Message =
                    "nenhum perfil gravado: os valores lidos não passam nas conferências";
            }
        } else if (const auto error = ProfileFile::Save(
                       OutputPath(options, r.Result, several, folder), r.Result.Editor)) {
            r.Result.Exit = ExitBadUsage;
            r.Result.Message = *error;
        }
    }
    // A profile on standard output leaves the outcome to standard error.
    return DeviceRun::Report(results, options.Output.empty() ? stderr : stdout);
}

}  // namespace vyx::cli
