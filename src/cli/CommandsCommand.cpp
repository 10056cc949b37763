#include <cstdio>

#include "CliCommands.h"
#include "ExitCode.h"
#include "ProfileFile.h"
#include "RemoteCommands.h"

namespace vyx::cli {

int CommandsCommand(const CliOptions& options) {
    const ProfileResult profile = ProfileFile::Load(options.File);
    if (!profile.Editor) {
        for (const std::string& error : profile.Errors) {
            std::fprintf(stderr, "%s\n", error.c_str());
        }
        return ExitBadUsage;
    }
    for (const std::string& line : MakeRemoteCommandList(*profile.Editor).Lines) {
        std::printf("%s\n", line.c_str());
    }
    return ExitDone;
}

}  // namespace vyx::cli
