#pragma once
// From a session's outcomes to a visit's steps: the one adapter every door
// hands its DeviceSession, so that the same connection gives the same visit in
// the window, vyxctl and the page. Each step goes to the sink as it ends; only
// the steps a visit keeps are built, never anything per package.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "RecordText.h"
#include "SessionEvents.h"
#include "Visit.h"

namespace vyx {

/// Where a door keeps its visits (the desktop's database, the page's store).
/// Each call comes once the visit holds what it names.
class VisitSink {
public:
    virtual ~VisitSink() = default;
    /// A visit began: its head as it stands (the steps and lines follow).
    virtual void Began(const Visit& visit) = 0;
    /// The visit's step at `index` was added; its head changed with it.
    virtual void StepAdded(const Visit& visit, std::size_t index) = 0;
    /// The visit's log lines from `first` on were added.
    virtual void LogAdded(const Visit& visit, std::size_t first) = 0;
    /// The service fields of the open visit changed.
    virtual void HeadChanged(const Visit& visit) = 0;
};

class VisitRecorder : public SessionEvents {
public:
    /// `now` gives TimeText instants (the clock, or a test's).
    VisitRecorder(std::string_view door, std::string toolVersion, std::string host, VisitSink& sink,
                  std::function<std::string()> now = NowText);

    /// The fields for the open visit and the following ones, until changed.
    void SetServiceFields(const ServiceFields& fields);
    const ServiceFields& Fields() const { return fields; }

    /// The port opened: a visit begins, unless the device that was lost comes
    /// back within the comeback time (decided when it identifies itself).
    void Opened();
    /// A line of the door's log, kept with the open visit.
    void Log(std::string_view line);

    /// The visit open now, or the last one; nothing before the first.
    const Visit* Current() const { return visit ? &*visit : nullptr; }
    bool Open() const { return open; }

    void Identified(const IdentifiedDevice& device) override;
    void ExchangeStarted(Exchange exchange, const ExchangeCounters& counters) override;
    void ExchangeFailed(const ExchangeFailure& failure) override;
    void ExchangeCutOff(const ExchangeCut& cut) override;
    void UploadFinished(const ExchangeCounters& counters) override;
    void ConfigurationRead(const ConfigReadResult& result) override;
    void ConfigurationWritten(const ConfigBlock& block, const ExchangeCounters& counters) override;
    void ReadBack(const ReadBackResult& result) override;
    void ConnectionClosed(CloseCause cause) override;
    void ConnectionLost() override;

private:
    void Begin();
    void Add(VisitStep step);
    VisitStep Step(StepKind kind) const;

    std::string door;
    std::string toolVersion;
    std::string host;
    VisitSink& sink;
    std::function<std::string()> now;
    ServiceFields fields;
    std::optional<Visit> visit;
    bool open = false;
    // After a loss, the port opened again: the visit to continue or begin is
    // known at the first identification; what comes before it waits here.
    bool deciding = false;
    std::vector<VisitStep> waitingSteps;
    std::vector<std::string> waitingLines;
};

}  // namespace vyx
