#include <cstdio>

#include "CliCommands.h"
#include "ExitCode.h"
#include "RemoteCommands.h"

namespace vyx::cli {

int CommandsCommand(const CliOptions& options) {
    const std::optional<EditorSnapshot> profile = LoadProfileArgument(options.File);
    if (!profile) {
        return ExitBadUsage;
    }
    for (const std::string& line : MakeRemoteCommandList(*profile).Lines) {
        std::printf("%s\n", line.c_str());
    }
    return ExitDone;
}

}  // namespace vyx::cli
