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

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += (text.empty() ? "" : "; ") + line;
    }
    return text;
}

}  // namespace

int ReadCommand(const CliOptions& options) {
    const bool several = options.Ports.size() > 1 || options.Ports.front() == AllVyx;
    const bool toStdout = options.Output.empty() || options.Output == "-";
    if (several && toStdout) {
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
    request.Fields = options.Fields;
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
        } else if (const auto error = ProfileFile::SaveText(
                       OutputPath(options, r.Result, several, folder), text)) {
            r.Result.Exit = ExitBadUsage;
            r.Result.Message = *error;
            continue;
        }
        if (!failures.empty()) {
            r.Result.Message +=
                "; guardado sem verificação, corrija antes de gravar: " + Joined(failures);
        }
    }
    // A profile on standard output leaves the outcome to standard error.
    return DeviceRun::Report(results, toStdout ? stderr : stdout);
}

}  // namespace vyx::cli
