#pragma once
// One device session for the page: the same DeviceSession the window and vyxctl
// run, with the connection's log lines, the received bytes' hand-over and the
// profile files, on a WebHost. The page opens and closes the port itself and
// tells the session; what it is told back about the device comes from the
// session's outcomes, each also handed to the page (PageOutcomes).

#include <emscripten/val.h>

#include <string>

#include <optional>

#include "DeviceSession.h"
#include "PageOutcomes.h"
#include "SessionEvents.h"
#include "VisitRecorder.h"
#include "WebHost.h"

namespace vyx::web {

class WebSession : private SessionEvents {
public:
    explicit WebSession(emscripten::val page);
    WebSession(const WebSession&) = delete;
    WebSession& operator=(const WebSession&) = delete;

    void PortOpened();
    void PortClosed();
    void PortLost();
    /// A chunk from the read loop; returns 0 or the ms to wait before ReceiveTimeout.
    int Receive(const emscripten::val& bytes);
    int ReceiveTimeout();
    void Tick(int timer);

    void ReadConfig() { session.B_GetConfigClick(); }
    bool WriteConfig() { return session.B_SetConfigClick(); }
    /// The read after a write, told as a "readBack" outcome.
    void ReadBackWrite() { session.ReadBackWrite(); }
    void RemoteCommands() { session.B_RemConfigClick(); }
    bool UploadFirmware() { return session.B_FwTxClick(); }
    void ClearIdList();
    void FillDefaults();
    void FillCalvera();

    emscripten::val SaveProfile();
    /// A profile file's bytes as read from the disk, judged as vyxctl judges them.
    emscripten::val OpenProfile(const emscripten::val& bytes, const std::string& fileName);

    /// The service fields ({ technician, plate, vin, workOrder, note }) the
    /// following visits take, and the one under way at once.
    void SetServiceFields(const emscripten::val& fields);
    /// The row of the visit under way or the last one (null before any): what
    /// the page keeps when it is left with lines logged since the last step.
    emscripten::val VisitRecord() const;

    emscripten::val Identity() const;
    emscripten::val Progress() const;
    bool PortOpen() const { return host.PortOpen(); }

private:
    int HandOver(std::chrono::milliseconds wait);

    // SessionEvents
    void Identified(const IdentifiedDevice& device) override { identified = device; }
    void ExchangeStarted(Exchange exchange, const ExchangeCounters&) override {
        underWay = exchange;
    }
    void ExchangeFailed(const ExchangeFailure&) override { underWay.reset(); }
    void ExchangeCutOff(const ExchangeCut&) override { underWay.reset(); }
    void UploadFinished(const ExchangeCounters&) override { underWay.reset(); }
    void ConfigurationRead(const ConfigReadResult&) override { underWay.reset(); }
    void ConfigurationWritten(const ConfigBlock&, const ExchangeCounters&) override {
        underWay.reset();
    }
    void ReadBack(const ReadBackResult&) override { underWay.reset(); }

    void KeepVisit(const Visit& visit) const;

    emscripten::val page;
    WebHost host;
    // Before the session, which tells them the outcomes until its last one.
    VisitRecorder recorder;
    PageOutcomes outcomes;
    DeviceSession session;
    std::optional<IdentifiedDevice> identified;
    std::optional<Exchange> underWay;
};

}  // namespace vyx::web
