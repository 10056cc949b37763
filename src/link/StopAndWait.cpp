#include "StopAndWait.h"

#include <algorithm>
#include <utility>

namespace vyx {

namespace {
constexpr const char* NoConnectionText = "Não há conexão ativa!";
}

StopAndWait::StopAndWait(LinkHost& host, const PortIo& port, TransferProgress& progress,
                         StopAndWaitSettings settings)
    : host(host), port(port), progress(progress), settings(std::move(settings)) {}

void StopAndWait::Reset(std::uint32_t count) {
    progress.TxPackageCount = count;
    host.SetProgressMax(static_cast<int>(count));
    progress.TxAckedIndex = NothingAcknowledged;
    progress.TxPackageIndex = 0;
    progress.Nacks = 0;
    progress.Code10 = 0;
    progress.Code15 = 0;
    progress.Code20 = 0;
}

void StopAndWait::Tick() {
    if (!port.PortOpen()) {
        host.SetTimerEnabled(settings.Timer, false);
        host.ProcessMessages();
        host.SetProgress(0);
        host.ShowMessage(NoConnectionText, settings.NoConnectionCaption, MsgIcon::None,
                         MsgButtons::Ok);
        host.ProcessMessages();
        return;
    }

    if (progress.TxAckReceived || progress.TxPackageIndex == 0) {
        const bool currentDone =
            progress.TxPackageIndex == 0 ||
            progress.TxAckedIndex == static_cast<std::int32_t>(progress.TxPackageIndex);
        if (currentDone && progress.TxPackageIndex < progress.TxPackageCount) {
            ++progress.TxPackageIndex;
        }
        // The flags are cleared and the timer runs before the write: the write lets
        // the window process events, and an acknowledgement handled there must move
        // the exchange on at once (through a nested tick), not be wiped out by this
        // tick and wait for a resend.
        progress.TxAckReceived = false;
        progress.TxIdleTicks = 0;
        if (progress.TxPackageIndex == 1 && !host.TimerEnabled(settings.Timer)) {
            host.SetTimerEnabled(settings.Timer, true);
        }
        settings.Send();
    } else {
        // Decided on this tick's own count: a nested tick run while the resend
        // pumps events counts for itself.
        const int idleTicks = ++progress.TxIdleTicks;
        if (std::find(ResendIdleTicks.begin(), ResendIdleTicks.end(), idleTicks) !=
            ResendIdleTicks.end()) {
            settings.Send();
        }
        if (idleTicks == GiveUpIdleTicks) {
            host.SetTimerEnabled(settings.Timer, false);
            const std::uint32_t lossesBefore = progress.LinkLosses;
            host.ProcessMessages();
            if (progress.LinkLosses == lossesBefore) {
                host.ShowMessage(settings.FailText(), settings.FailCaption, settings.FailIcon,
                                 MsgButtons::Ok);
            }
            host.SetProgress(0);
            return;
        }
    }
    host.ProcessMessages();
}

void StopAndWait::TickIfRunning() {
    if (Running()) {
        Tick();
    }
}

}  // namespace vyx
