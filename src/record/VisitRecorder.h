#pragma once
// The adapter from a session's outcomes to a visit's steps, for every door: it
// listens to the session, appends each step to its visit as the step ends and
// hands it on at once to the door's store, so a visit cut short keeps what it
// had. The store is the door's (SQLite on the desktop, the page's own database).

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "SessionEvents.h"
#include "Visit.h"

namespace vyx {

class VisitRecorder : public SessionEvents {
public:
    /// Where each change goes as it happens; a missing one is not kept.
    struct Sink {
        /// A step was appended (`seq` counts from 1); the head is updated with it.
        std::function<void(const Visit&, std::size_t seq)> StepAdded;
        /// A log line was kept.
        std::function<void(const Visit&, const std::string& line)> LogAdded;
    };

    VisitRecorder(Visit visit, Sink sink);

    const Visit& Current() const { return visit; }

    /// A line of the device log, capped by the visit.
    void Log(std::string_view line);

    void Identified(const IdentifiedDevice& device) override;
    void ExchangeStarted(Exchange exchange, const ExchangeCounters& counters) override;
    void ExchangeFailed(const ExchangeFailure& failure) override;
    void ExchangeCutOff(const ExchangeCut& cut) override;
    void UploadFinished(const ExchangeCounters& counters) override;
    void ConfigurationRead(const ConfigReadResult& outcome) override;
    void ConfigurationWritten(const ConfigBlock& block, const ExchangeCounters& counters) override;
    void ReadBack(const ReadBackResult& outcome) override;
    void ConnectionClosed(CloseCause cause) override;
    void ConnectionLost() override;

private:
    void Add(VisitStep step);

    Visit visit;
    Sink sink;
};

/// What identification made of a device's firmware need, in the record's words.
IdentityVerdict VerdictOf(const IdentifiedDevice& device);

}  // namespace vyx
