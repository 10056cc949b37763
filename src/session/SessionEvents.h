#pragma once
// What happened with a device, in the device's terms: the outcomes a
// DeviceSession reports as each step ends. Every door (the window, vyxctl, the
// page) and the service record take them here, instead of reading the steps off
// what the window would show (an enabled button, a started timer, a box).
//
// Order within a connection: Identified for each announcement acted on; for
// each exchange, ExchangeStarted once its first frame is out, then exactly one
// end: its result (UploadFinished, ConfigurationRead, ConfigurationWritten,
// ReadBack), ExchangeFailed, or ExchangeCutOff (the connection ended, or another
// exchange was started over it); an exchange that could not send its first
// frame ends with ExchangeFailed alone. A rejected read's ConfigurationRead
// (Repaired) is followed by the repair write's ExchangeStarted. Last comes
// ConnectionClosed or ConnectionLost, after the cut of what was under way.
//
// All calls come on the session's thread (the window thread, or the thread that
// plays it), from inside the session's entry points: a receiver notes what it
// needs and returns; it must not start another exchange or close the port from
// inside the call (do that from the door's own loop). Values only, no toolkit
// types, so the page's module builds them too.

#include <cstdint>
#include <string>

#include "ConfigDecoder.h"
#include "ConfigImage.h"
#include "DeviceIdentity.h"

namespace vyx {

/// A device that announced itself (every Identity frame that is acted on).
struct IdentifiedDevice {
    /// ID, version (product line first), configuration block address, mode.
    DeviceIdentity Identity;
    /// What its firmware needs, from the version alone (see WordsOf for the words).
    FirmwareNeed Need = FirmwareNeed::NotServed;
    /// Still in operating mode: the instructions were logged and the port closes
    /// shortly (OperatingModeNotice follows); nothing else is started.
    bool OperatingMode() const { return Identity.IdentityMode == 0; }
};

/// The exchanges a session runs with a device, one at a time.
enum class Exchange {
    FirmwareUpload,  // transfer kind 1: the firmware image
    ConfigWrite,     // transfer kind 6: the configuration block
    ConfigRead,      // five memory read requests
};

/// The exchange's name for programs (the page's script, exports), kept stable:
/// "upload", "write", "read".
constexpr const char* ExchangeCode(Exchange exchange) {
    switch (exchange) {
        case Exchange::FirmwareUpload:
            return "upload";
        case Exchange::ConfigWrite:
            return "write";
        case Exchange::ConfigRead:
            break;
    }
    return "read";
}

/// What one exchange went through up to its end.
struct ExchangeCounters {
    /// Packages (or read requests) in the exchange, and the last one sent (1-based).
    std::uint32_t Count = 0;
    std::uint32_t At = 0;
    /// Packages (or requests) sent again: on the resend ticks, after a wrong
    /// acknowledgement or reply.
    std::uint32_t Resends = 0;
    /// The receive faults of the transfer failure box, in its order.
    std::int32_t Nacks = 0;               // negative acknowledgements
    std::int32_t ShortNotifications = 0;  // too few bytes for a frame ("Code10")
    std::int32_t BadStarts = 0;           // not starting with the start byte ("Code15")
    std::int32_t StrayBytes = 0;          // frames followed by stray bytes ("Code20")
};

/// An exchange that gave up and showed its failure box.
struct ExchangeFailure {
    Exchange Of = Exchange::ConfigRead;
    /// The box's number: 1 no connection at a transfer tick, 2 a transfer without
    /// an answer for ten ticks, 3 and 4 the same for a configuration read.
    int Code = 0;
    /// The box as shown: "ERRO #0x02" and its text.
    std::string Caption;
    std::string Text;
    ExchangeCounters Counters;
};

/// An exchange stopped before its end because the connection ended (closed by
/// the person or the door, or lost), or because another exchange was started
/// over it: "at package 501 of 1,861".
struct ExchangeCut {
    Exchange Of = Exchange::ConfigRead;
    ExchangeCounters Counters;
};

/// A configuration block and what it holds.
struct ConfigBlock {
    ConfigImage Image{};
    /// Its values, or the failing checks (ErrorCount, fields without a value).
    DecodedConfig Decoded;
};

/// A configuration read that got all its replies.
struct ConfigReadResult {
    /// The block as read, decoded with the checks the read applied.
    ConfigBlock Read;
    /// Rejected and replaced at once by the defaults (or the Calvera preset):
    /// a ConfigWrite exchange follows.
    bool Repaired = false;
};

/// The read after a write, compared with what was written.
struct ReadBackResult {
    ConfigBlock Written;
    ConfigBlock Read;
    bool Equal = false;
    /// The first difference in people's words ("speed.max_kmh: gravado 95, lido de
    /// volta 90", or a byte outside the values); empty when equal.
    std::string FirstDifference;
};

/// How a connection was closed (a loss is ConnectionLost).
enum class CloseCause {
    Asked,          // the connect button, or the door itself
    OperatingMode,  // the timed close after the operating-mode notice
    AfterWrite,     // the timed close after a write ("Fechar após configurar")
};

/// The outcome interface. Every call has an empty default: a receiver takes
/// what it needs.
class SessionEvents {
public:
    virtual ~SessionEvents() = default;

    virtual void Identified(const IdentifiedDevice&) {}
    /// The operating-mode notice was logged (an Identity in operating mode, or
    /// the device's own notice): the port closes at the timed close.
    virtual void OperatingModeNotice() {}

    /// The first package (or request) of an exchange has gone out.
    virtual void ExchangeStarted(Exchange, const ExchangeCounters&) {}
    virtual void ExchangeFailed(const ExchangeFailure&) {}
    virtual void ExchangeCutOff(const ExchangeCut&) {}

    /// The device acknowledged the firmware's last package; it restarts and
    /// announces itself again (Identified follows).
    virtual void UploadFinished(const ExchangeCounters&) {}
    virtual void ConfigurationRead(const ConfigReadResult&) {}
    virtual void ConfigurationWritten(const ConfigBlock&, const ExchangeCounters&) {}
    virtual void ReadBack(const ReadBackResult&) {}

    virtual void ConnectionClosed(CloseCause) {}
    /// The device went away (cable pulled): "Conexão perdida...".
    virtual void ConnectionLost() {}
};

}  // namespace vyx
