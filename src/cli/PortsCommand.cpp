#include <cstdio>

#include "CliCommands.h"
#include "DeviceRun.h"
#include "Interruption.h"

namespace vyx::cli {

int PortsCommand(const CliOptions& options) {
    for (const PortResult& r : DeviceRun::Listen(options.Listen)) {
        const JobResult& job = r.Result;
        if (job.Exit == ExitDone) {
            std::printf("%s  Vyx %s  Id: %s  %s\n", r.Port.c_str(),
                        VersionText(job.Identity->Version).c_str(),
                        IdText(job.Identity->Id).c_str(),
                        DecisionText(job.Identity->Version).c_str());
        } else if (job.Exit == ExitNoPort) {
            std::printf("%s  (%s)\n", r.Port.c_str(), job.Message.c_str());
        } else if (job.Identity || job.Exit == ExitDeviceFailed) {
            std::printf("%s  Vyx (%s)\n", r.Port.c_str(), job.Message.c_str());
        } else {
            std::printf("%s\n", r.Port.c_str());
        }
    }
    return Interruption::Requested() ? ExitInterrupted : ExitDone;
}

}  // namespace vyx::cli
