#pragma once
// Runs one job on every port asked for, each device on a thread of its own with
// its own loop, one progress row per device; one device failing does not stop
// the others. With several ports a summary table follows.

#include <cstdio>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "DeviceJob.h"

namespace vyx::cli {

struct PortResult {
    std::string Port;
    JobResult Result;
};

/// The ports a command works on.
struct PortChoice {
    /// The ports to run the job on.
    std::vector<std::string> Ports;
    /// Devices "all-vyx" heard announce themselves that cannot be served (operating
    /// mode): their outcome and instructions, reported with the others.
    std::vector<PortResult> Finished;
    /// With nothing to report at all: why (no announcement, or interrupted).
    int Exit = ExitDone;
    bool Empty() const { return Ports.empty() && Finished.empty(); }
};

class DeviceRun {
public:
    /// The ports of `options`, with "all-vyx" replaced by the ports that announce
    /// a Vyx within the listen time. Empty (and a reason on stderr) when none.
    static PortChoice ResolvePorts(const CliOptions& options);

    /// Runs `request` (its Port is set per device) on every port at once, showing
    /// the progress on stderr unless `quiet`.
    static std::vector<PortResult> Run(const JobRequest& request,
                                       const std::vector<std::string>& ports, bool quiet = false);
    /// Runs `request` on the chosen ports; the devices found but not served join
    /// the results, every device in port order.
    static std::vector<PortResult> Run(const JobRequest& request, const PortChoice& chosen);

    /// Prints the summary table (several ports) or the one device's outcome on
    /// `out` (the results' place, unless a profile took it), and returns the exit
    /// status: 0 when every device is done, ExitInterrupted when
    /// one was interrupted, else the status of the first device that is not.
    static int Report(const std::vector<PortResult>& results, std::FILE* out = stdout);

    /// Every port of the machine, listened to at once: a Vyx's result has Exit 0.
    static std::vector<PortResult> Listen(std::chrono::milliseconds listen);
};

/// `text` on one line: each run of line breaks and control characters one space.
std::string OneLine(const std::string& text);
/// The columns `text` takes on a terminal (its UTF-8 characters).
std::size_t Columns(const std::string& text);

}  // namespace vyx::cli
