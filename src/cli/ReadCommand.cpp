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

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += (text.empty() ? "" : "; ") + line;
    }
    return text;
}

}  // namespace

int ReadCommand(const CliOptions& options) {
    const bool several = options.Ports.size() > 1 || options.Ports.front() == "all-vyx";
    const bool toStdout = options.Output.empty() || options.Output == "-";
    if (several && toStdout) {
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
        // Values the device holds may decode yet fail the editor's checks: an
        // ordinary profile cannot carry them, an unchecked one keeps them unwritable.
        const std::vector<std::string> failures = ProfileFile::CheckFailures(r.Result.Editor);
        if (!failures.empty() && !options.Unchecked) {
            r.Result.Exit = ExitBadUsage;
            r.Result.Message = "perfil não salvo: " + Joined(failures) +
                               "; --unchecked guarda os valores num perfil que write recusa";
            continue;
        }
        const std::string text = ProfileFile::FormatUnchecked(r.Result.Editor);
        if (toStdout) {
            std::fputs(text.c_str(), stdout);
        } else if (const auto error =
                       ProfileFile::SaveText(OutputPath(options, r.Port, several), text)) {
            r.Result.Exit = ExitBadUsage;
            r.Result.Message = *error;
            continue;
        }
        if (!failures.empty()) {
            r.Result.Message +=
                "; guardado sem verificação, corrija antes de gravar: " + Joined(failures);
        }
    }
    return DeviceRun::Report(results);
}

}  // namespace vyx::cli
