#include <cstdio>

#include "CliCommands.h"
#include "DeviceRun.h"
#include "ProfileFile.h"

namespace vyx::cli {

int WriteCommand(const CliOptions& options) {
    // Nothing goes to any device from a refused profile.
    const ProfileResult profile = ProfileFile::Load(options.File);
    if (!profile.Editor) {
        for (const std::string& error : profile.Errors) {
            std::fprintf(stderr, "%s\n", error.c_str());
        }
        return ExitBadUsage;
    }
    const std::vector<std::string> ports = DeviceRun::ResolvePorts(options);
    if (ports.empty()) {
        return ExitNoAnnouncement;
    }
    JobRequest request;
    request.Kind = JobKind::Write;
    request.Listen = options.Listen;
    request.Profile = *profile.Editor;
    return DeviceRun::Report(DeviceRun::Run(request, ports));
}

}  // namespace vyx::cli
