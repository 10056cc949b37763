#pragma once
// One visit: one connection of one device through one door, from open to close
// or loss. It is only ever appended to: the service fields, then each step as it
// ends and the log's lines, so what a store holds at any moment is a whole
// visit up to where it stopped. A visit is rebuilt from its head, its steps and
// its log lines.

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "VisitHead.h"
#include "VisitStep.h"

namespace vyx {

/// What the technician types about the job.
struct ServiceFields {
    std::string Technician;
    std::string Plate;
    std::string Vin;  // VIN or fleet number
    std::string WorkOrder;
    std::string Note;
};

class Visit {
public:
    /// Lines of the log a visit keeps; the last kept one says the rest was left out.
    static constexpr std::size_t MaxLogLines = 500;
    static constexpr std::string_view LogFullLine =
        "(registro da visita cheio: as linhas seguintes não são guardadas)";
    /// Steps a visit keeps (a visit has a dozen; a device restarting in a loop
    /// must not fill the disk).
    static constexpr std::size_t MaxSteps = 1000;
    /// The head's Cut for a loss that did not cut an upload.
    static constexpr std::string_view LostText = "conexão perdida";

    /// How long after a loss the same device, coming back, continues the visit.
    static constexpr std::chrono::seconds ComebackTime{120};

    /// A visit that starts now: a new identifier, the open result.
    static Visit Open(std::string_view door, std::string toolVersion, std::string host);
    /// A visit as kept, head, steps and log lines exactly as given.
    Visit(VisitHead head, std::vector<VisitStep> steps, std::vector<std::string> logLines);

    /// The service fields as typed: capped, invalid UTF-8 replaced.
    void SetServiceFields(const ServiceFields& fields);

    /// Appends a step and brings the head up to date: the device and its versions
    /// from identification, where the visit was cut, the end and the result on a
    /// close or loss (a step after a loss continues the visit). Returns false,
    /// keeping nothing, when the visit is full (the last place is the close's).
    bool AddStep(VisitStep step);
    /// Appends a log line (capped, invalid UTF-8 replaced); false when it was
    /// not kept.
    bool AddLogLine(std::string_view line);

    /// Where a visit stopped that was not closed: its Cut, or for a visit left
    /// open (the tool ended without its close being kept) where that happened;
    /// empty for a visit that was closed whole. Whether an open visit still runs
    /// is for its door to say.
    std::string WhereStopped() const;
    /// The text for a visit left open outside an upload.
    static constexpr std::string_view NoEndText = "visita sem fim registrado";

    /// Whether device `deviceId`, identified at `at` (a TimeText), continues this
    /// visit: it was lost, with that device, at most ComebackTime before.
    bool ContinuesWith(std::string_view deviceId, std::string_view at) const;

    const VisitHead& Head() const { return head; }
    const std::vector<VisitStep>& Steps() const { return steps; }
    const std::vector<std::string>& LogLines() const { return logLines; }

    /// The block as first read, and as last written and read back (the read-back
    /// when there is one); nothing when the visit has none.
    const VisitBlock* BlockBefore() const;
    const VisitBlock* BlockAfter() const;

    bool operator==(const Visit&) const = default;

private:
    std::string EndResult() const;

    VisitHead head;
    std::vector<VisitStep> steps;
    std::vector<std::string> logLines;
};

}  // namespace vyx
