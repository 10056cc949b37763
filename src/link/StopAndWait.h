#pragma once
// The stop-and-wait schedule shared by the package transfer (Timer1, 500 ms)
// and the configuration read (Timer3, 100 ms): one item in flight; resend it at
// idle ticks 3, 5 and 7; give up at idle tick 10 (ResendIdleTicks and
// GiveUpIdleTicks, TimeLimits.h).

#include <array>
#include <functional>
#include <string>

#include "LinkHost.h"
#include "PortIo.h"
#include "TimeLimits.h"
#include "TransferProgress.h"

namespace vyx {

struct StopAndWaitSettings {
    TimerId Timer;
    std::function<void()> Send;             // sends item TxPackageIndex
    std::string NoConnectionCaption;        // "ERRO #0x01" / "ERRO #0x03"
    std::string FailCaption;                // "ERRO #0x02" / "ERRO #0x04"
    MsgIcon FailIcon;                       // none for transfers, warning for reads
    std::function<std::string()> FailText;  // may show the fault counters
};

class StopAndWait {
public:
    StopAndWait(LinkHost& host, const PortIo& port, TransferProgress& progress,
                StopAndWaitSettings settings);

    /// Resets the shared progress for an exchange of `count` items (progress bar
    /// maximum, nothing acknowledged, nothing sent, fault counters zero).
    void Reset(std::uint32_t count);

    /// One tick: send the next item or the current one again, count idle ticks,
    /// resend, give up, or stop because the port is closed.
    void Tick();

    /// Runs a tick at once if the exchange's timer is running (used on every
    /// acknowledgement, negative acknowledgement and short notification).
    void TickIfRunning();

    bool Running() const { return host.TimerEnabled(settings.Timer); }

private:
    LinkHost& host;
    const PortIo& port;
    TransferProgress& progress;
    StopAndWaitSettings settings;
};

}  // namespace vyx
