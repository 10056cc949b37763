#include "CliCommands.h"
#include "DeviceRun.h"

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
    JobRequest request;
    request.Kind = JobKind::Write;
    request.Listen = options.Listen;
    request.Profile = *profile;
    return DeviceRun::Report(DeviceRun::Run(request, ports));
}

}  // namespace vyx::cli
