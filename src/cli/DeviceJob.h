#pragma once
// One vyxctl command on one device, start to end, on the calling thread: open
// the port, wait for the device to announce itself, obey identification (a
// device in operating mode is closed with the instructions, a discontinued line
// is warned about, an old release is not configured), then run the command's
// exchange with the session the window uses, and say how it ended. What to do
// next is decided from the session's outcomes (SessionEvents).

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "DeviceIdentity.h"
#include "EditorSnapshot.h"
#include "ExitCode.h"
#include "Interruption.h"
#include "TimeLimits.h"
#include "TransferEngine.h"
#include "Visit.h"

namespace vyx::cli {

class CliRecord;
/// The visit of each unit served, by its port.
using UnitVisits = std::map<std::string, std::shared_ptr<CliRecord>>;

enum class JobKind { Info, Read, Write, Flash };

struct JobRequest {
    JobKind Kind = JobKind::Info;
    std::string Port;
    /// How long to wait for the device to announce itself (and, after an upload,
    /// to announce its new release).
    std::chrono::milliseconds Listen = DeviceListenDefault;
    /// Write: the profile's values (they pass the write checks).
    EditorSnapshot Profile;
    /// Flash: another image and its trailer; empty: the embedded firmware.
    std::span<const std::uint8_t> Image;
    TransferTrailer Trailer{};
    /// Flash: send the jump command once the upload has ended.
    bool Jump = false;
    /// Whether to stop at the next safe point (looked at every few milliseconds);
    /// the job then ends with ExitInterrupted and says where it was cut off.
    std::function<bool()> StopAsked = Interruption::Requested;
    /// Whether the connection is kept in the service record: in the unit's visit
    /// given for its port, which the caller keeps across the unit's connections,
    /// else as a visit of its own with these service fields.
    bool Record = true;
    vyx::ServiceFields Fields;
    UnitVisits Visits;
};

struct JobEvents {
    /// A line of the device log (the window's words), and whether it is a warning.
    std::function<void(const std::string& text, bool red)> Log;
    /// Packages (or read requests) done of the total.
    std::function<void(int position, int maximum)> Progress;
};

struct JobResult {
    int Exit = ExitDone;
    /// How it ended, in one line: the outcome, or why it failed.
    std::string Message;
    std::optional<DeviceIdentity> Identity;
    /// Flash: the identity announced after the restart.
    std::optional<DeviceIdentity> Restarted;
    /// Read: what the device holds now.
    EditorSnapshot Editor;
    /// Read: the block was rejected and the defaults were written in its place.
    bool Repaired = false;
};

class DeviceJob {
public:
    static JobResult Run(const JobRequest& request, const JobEvents& events);
};

/// What the firmware needs, for people: "atualizado", "precisa de atualização",
/// "descontinuado" or "não atendido" (the identification's table, WordsOf).
std::string DecisionText(const DeviceVersion& version);
/// The same for programs (--json), kept stable: "up to date", "needs upload",
/// "discontinued" or "not served".
std::string DecisionCode(const DeviceVersion& version);
/// A count as the technicians write it: "1.861".
std::string CountText(int count);

}  // namespace vyx::cli
