#pragma once
// A session's outcomes made into a visit's steps: every door feeds the session's
// outcomes here and hands what it is told on to its store as it happens (the
// head at the start, each step as it ends, each log line), so a visit cut by a
// crash or a pulled cable is kept up to where it stopped. One recorder serves
// one port: a connection opens a visit, its close or loss ends it, and the same
// device coming back soon after a loss continues the lost visit.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SessionEvents.h"
#include "Visit.h"

namespace vyx {

class VisitRecorder : public SessionEvents {
public:
    /// What a store is told; each call gets the visit as it now stands.
    struct Sink {
        std::function<void(const Visit&)> Begun;                       // a new visit
        std::function<void(const Visit&, const VisitStep&)> Stepped;   // a step kept
        std::function<void(const Visit&, const std::string&)> Logged;  // a log line kept
        std::function<void(const Visit&)> Changed;                     // the service fields changed
    };
    /// The present time as TimeText writes it; NowText when not given.
    using Clock = std::function<std::string()>;

    VisitRecorder(std::string_view door, std::string toolVersion, std::string host, Sink sink,
                  Clock clock = {});

    /// The fields a new visit starts with (and the open visit takes at once).
    void SetServiceFields(const ServiceFields& fields);
    const ServiceFields& Fields() const { return fields; }
    /// The port was opened: a new visit starts, unless the lost one may still
    /// continue (decided when the device identifies itself).
    void PortOpened();
    /// A line of the connection's log.
    void LogLine(std::string_view line);

    /// From now on one visit spans the unit's connections (vyxctl serving a unit
    /// opens its port once a step): a close leaves the visit open and the unit
    /// announcing itself unchanged on the next connection is no news. End closes it.
    void SpanConnections() { spans = true; }
    /// Ends a spanning visit, with why its service failed when it did.
    void End(std::string_view failure = {});

    /// The visit under way or the last one; nothing before the first connection.
    const std::optional<Visit>& Current() const { return visit; }
    /// Whether a visit is under way (opened, not yet closed or lost).
    bool Open() const { return open; }

    // SessionEvents
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
    void TakeWaitingLines();
    void Add(VisitStep step);
    VisitStep Step(StepKind kind) const;

    std::string door;
    std::string toolVersion;
    std::string host;
    Sink sink;
    Clock clock;
    ServiceFields fields;
    std::optional<Visit> visit;
    bool open = false;  // the visit under way has not ended
    bool spans = false;
    // After a PortOpened that follows a loss: the new visit waits for the
    // device's identity, which may continue the lost one instead.
    bool pending = false;
    std::vector<std::string> waiting;  // log lines while pending
};

/// What identification's firmware need makes of a device.
IdentityVerdict VerdictOf(const IdentifiedDevice& device);

}  // namespace vyx
