#pragma once
// One step of a visit, kept as it ends: what the device was found to be, how an
// upload or a configuration exchange went (counters, resends, the failure), the
// block as read or written, the read-back's first difference, the close or the
// loss. A store keeps each step as one row: its kind and its body, the step's
// JSON object text, from which the step is rebuilt.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ConfigImage.h"
#include "DeviceIdentity.h"

namespace vyx {

enum class StepKind {
    Identified,      // the device said who it is
    UploadStarted,   // the firmware upload began
    UploadFinished,  // the device took the whole image
    UploadFailed,    // the upload gave up (failure code, counters)
    UploadCut,       // the upload stopped with the connection (at package N of M)
    ConfigRead,      // the block as read, with its failing checks
    ConfigWritten,   // the block as written
    ConfigReadBack,  // the block read back after a write: equal, or the first difference
    Closed,          // the port was closed
    Lost,            // the connection was lost (cable pulled, device gone)
};

/// The kind as a store and the exports write it: "identified", "upload_cut", ...
std::string_view StepKindText(StepKind kind);
std::optional<StepKind> StepKindFromText(std::string_view text);

/// What identification made of the device.
enum class IdentityVerdict {
    Current,        // served line at our release or later
    Older,          // served line, older firmware
    Discontinued,   // a line no longer served
    OperatingMode,  // still in operating mode
    LoaderOnly,     // only the firmware loader runs
    Blank,          // no firmware at all
};

std::string_view VerdictText(IdentityVerdict verdict);
std::optional<IdentityVerdict> VerdictFromText(std::string_view text);

/// The counters of an exchange when it ended.
struct ExchangeCounts {
    std::uint32_t Package = 0;   // 1-based package (or read request) reached
    std::uint32_t Packages = 0;  // packages in the exchange
    std::uint32_t Resends = 0;
    std::uint32_t Nacks = 0;   // negative acknowledgements
    std::uint32_t Code10 = 0;  // notifications too short for a frame
    std::uint32_t Code15 = 0;  // notifications not starting with the start byte
    std::uint32_t Code20 = 0;  // frames followed by stray bytes
    bool operator==(const ExchangeCounts&) const = default;
};

/// A configuration block as read or written.
struct VisitBlock {
    ConfigImage Image{};
    int ErrorCount = 0;     // failing checks when it was read
    bool Repaired = false;  // a block that failed its checks was put right
    bool operator==(const VisitBlock&) const = default;
};

/// What a block decodes to, by profile key in record order ("speed.max_kmh" =
/// "100"); nothing when its marker, size or sum is wrong.
std::vector<std::pair<std::string, std::string>> BlockValues(const ConfigImage& image);

struct VisitStep {
    StepKind Kind = StepKind::Closed;
    std::string EndedAt;  // as TimeText writes it
    // Identified: the ID and version texts, and the verdict.
    std::string DeviceId;
    std::string DeviceVersion;
    std::optional<IdentityVerdict> Verdict;
    std::optional<ExchangeCounts> Counts;
    std::optional<std::int64_t> FailureCode;
    std::string Failure;  // the failure as the tool told it
    std::optional<VisitBlock> Block;
    std::string Difference;  // read-back: the first difference; empty when equal

    bool operator==(const VisitStep&) const = default;
};

/// An Identified step for `identity`.
VisitStep IdentifiedStep(const DeviceIdentity& identity, IdentityVerdict verdict,
                         std::string endedAt);

/// Whether the step tells of a failure: a failed upload, a failure code or text,
/// a block read with failing checks left as they were, a read-back difference.
bool StepFailed(const VisitStep& step);

/// Where a cut upload stopped: "envio do firmware interrompido no pacote 501 de 1.861".
std::string UploadCutText(const VisitStep& step);

/// The step's body for a store: its JSON object text, keys in a fixed order, as
/// the visit's line holds it but without a block's decoded values (which the
/// bytes give again).
std::string StepBody(const VisitStep& step);

/// A step rebuilt from its body, or why the body is refused.
struct StepParse {
    std::optional<VisitStep> Step;
    std::string Reason;
};
/// `where` prefixes the reasons.
StepParse ParseStepBody(std::string_view body, const std::string& where = "passo: ");

}  // namespace vyx
