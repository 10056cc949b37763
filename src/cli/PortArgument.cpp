#include <cstdio>

#include "CliCommands.h"
#include "ExitCode.h"

namespace vyx::cli {

int ResolvePortNames(std::vector<std::string>& ports) {
    for (std::string& port : ports) {
        if (port.empty()) {
            std::fprintf(stderr,
                         "vyxctl: --port precisa do nome de uma porta, p. ex. /dev/ttyACM0\n");
            return ExitBadUsage;
        }
        if (port == AllVyx || port.find('/') != std::string::npos) {
            continue;
        }
        const auto path = SystemPortPath(port);
        if (!path) {
            std::fprintf(stderr,
                         "vyxctl: não há porta chamada %s; dê o caminho do dispositivo, p. ex. "
                         "/dev/ttyACM0 (vyxctl ports lista as portas)\n",
                         port.c_str());
            return ExitNoPort;
        }
        port = *path;
    }
    return ExitDone;
}

}  // namespace vyx::cli
