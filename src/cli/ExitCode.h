#pragma once
// What vyxctl's exit status means. Scripts that prepare many vehicles branch on it.

namespace vyx::cli {

enum ExitCode : int {
    ExitDone = 0,            ///< done
    ExitDeviceFailed = 1,    ///< the device refused, or the exchange failed after its resends
    ExitBadUsage = 2,        ///< bad usage, or a refused profile or image
    ExitNoPort = 3,          ///< no such port, or it cannot be opened
    ExitNoAnnouncement = 4,  ///< the device did not announce itself within the listen time
    ExitInterrupted = 5,     ///< interrupted (Ctrl+C, SIGTERM, SIGHUP): the work stopped early
};

/// The lines of `--help` that explain the exit status.
inline constexpr const char* ExitCodeHelp =
    "Exit status:\n"
    "  0  done\n"
    "  1  the device refused, or the exchange failed after its resends\n"
    "  2  bad usage, or a refused profile or firmware file\n"
    "  3  no such port, or the port cannot be opened (permission, busy)\n"
    "  4  no announcement from the device within the listen time\n"
    "  5  interrupted (Ctrl+C, SIGTERM, SIGHUP): the work stopped early\n";

}  // namespace vyx::cli
