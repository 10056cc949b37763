#pragma once
// The vyxctl commands, one source file each. Each returns the exit status
// (ExitCode) and writes results to stdout, progress and reasons to stderr.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "EditorSnapshot.h"
#include "TimeLimits.h"
#include "Visit.h"

namespace vyx::cli {

/// The --port value that stands for every port a Vyx announces itself on.
inline constexpr const char* AllVyx = "all-vyx";

struct CliOptions {
    /// --port, repeatable; "all-vyx" stands for every port that announces a Vyx.
    std::vector<std::string> Ports;
    std::chrono::milliseconds Listen = DeviceListenDefault;
    bool Json = false;
    std::string Output;   ///< read -o
    std::string File;     ///< write, commands: the profile
    std::string Image;    ///< flash --image
    std::string Trailer;  ///< flash --trailer
    bool Jump = false;    ///< flash --jump
    /// read --unchecked: keep values that fail the checks ("-o -" is stdout).
    bool Unchecked = false;
    /// write --dry-run: show what would change, write nothing.
    bool DryRun = false;
    /// service --plan: the plan CSV, instead of one profile for every unit.
    std::string Plan;
    /// service --watch: serve every Vyx that appears until Ctrl+C.
    bool Watch = false;
    /// service --watch: no terminal bell when a unit may be unplugged.
    bool Quiet = false;
    /// --technician, --vehicle, --work-order, --note: kept in each visit.
    vyx::ServiceFields Fields;
};

/// The profile a command was given; nothing when it is refused, after each
/// reason went to stderr.
std::optional<EditorSnapshot> LoadProfileArgument(const std::string& file);

/// The --port names made usable, or the exit status with each reason on stderr:
/// an empty name is bad usage; a bare name ("ttyACM0") is looked up as the system
/// names its ports, and one that names no device is refused as a missing port.
int ResolvePortNames(std::vector<std::string>& ports);
/// A bare port name as the system names the device (POSIX: /dev/NAME), or
/// nothing when no such device exists.
std::optional<std::string> SystemPortPath(const std::string& name);

int PortsCommand(const CliOptions& options);
int InfoCommand(const CliOptions& options);
int ReadCommand(const CliOptions& options);
int WriteCommand(const CliOptions& options);
int DiffCommand(const CliOptions& options);
int ServiceCommand(const CliOptions& options);
int FlashCommand(const CliOptions& options);
int CommandsCommand(const CliOptions& options);

}  // namespace vyx::cli
