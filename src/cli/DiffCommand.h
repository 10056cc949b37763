#pragma once
// What writing a profile would change on each device, printed before anything is
// written: diff prints it alone, write before writing, write --dry-run instead.

#include "DeviceRun.h"

namespace vyx::cli {

struct PortDifferences {
    /// ExitDone when the device holds the profile, ExitDiffers when not; a device
    /// that could not be read keeps its outcome.
    PortResult Outcome;
    /// Whether the device was read (ExitDiffers and a failure share a status).
    bool Read = false;
    /// The keys that differ, as printed.
    std::vector<std::string> Lines{};
};

/// Reads the device on every chosen port and prints, for each one read, the
/// profile keys whose values it holds differently from `profile` (with several
/// ports each line starts with the port), in port order. Each read joins the
/// unit's visit in `visits`, when it has one there.
std::vector<PortDifferences> ReadDifferences(const CliOptions& options, const PortChoice& ports,
                                             const EditorSnapshot& profile,
                                             const UnitVisits& visits = {});

/// The outcomes, for DeviceRun::Report.
std::vector<PortResult> Outcomes(const std::vector<PortDifferences>& differences);

}  // namespace vyx::cli
