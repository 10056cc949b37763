#include <cstdio>

#include "CliCommands.h"
#include "DeviceRun.h"
#include "ProfileFile.h"

namespace vyx::cli {

namespace {

// Several devices: one profile each in the folder -o names, after the port.
std::string OutputPath(const CliOptions& options, const std::string& port, bool several) {
    if (!several) {
        return options.Output;
    }
    const std::size_t slash = port.find_last_of('/');
    return options.Output + "/" + port.substr(slash == std::string::npos ? 0 : slash + 1) + ".json";
}

}  // namespace

int ReadCommand(const CliOptions& options) {
    const bool several = options.Ports.size() > 1 || options.Ports.front() == "all-vyx";
    if (several && options.Output.empty()) {
        std::fprintf(stderr, "vyxctl read: several ports need -o FOLDER for their profiles\n");
        return ExitBadUsage;
    }
    const std::vector<std::string> ports = DeviceRun::ResolvePorts(options);
    if (ports.empty()) {
        return ExitNoAnnouncement;
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
                r.Result.Message = "no profile written: the values read do not pass the checks";
            }
        } else if (const auto error =
                       ProfileFile::Save(OutputPath(options, r.Port, several), r.Result.Editor)) {
            r.Result.Exit = ExitBadUsage;
            r.Result.Message = *error;
        }
    }
    return DeviceRun::Report(results);
}

}  // namespace vyx::cli
