#include "StopAndWait.h"

#include <algorithm>
#include <utility>

namespace vyx {

namespace {
constexpr const char* NoConnectionText = "Não há conexão ativa!";
}

StopAndWait::StopAndWait(LinkHost& host, TransferProgress& progress, StopAndWaitSettings settings)
    : host(host), progress(progress), settings(std::move(settings)) {}

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
    if (!host.PortOpen()) {
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
        // Written before the flags are cleared: an acknowledgement handled while
        // the send pumps events is cleared again here, as the device expects.
        settings.Send();
        progress.TxAckReceived = false;
        progress.TxIdleTicks = 0;
    } else {
        ++progress.TxIdleTicks;
    }

    if (std::find(ResendIdleTicks.begin(), ResendIdleTicks.end(), progress.TxIdleTicks) !=
        ResendIdleTicks.end()) {
        settings.Send();
    }

    if (progress.TxIdleTicks == GiveUpIdleTicks) {
        host.SetTimerEnabled(settings.Timer, false);
        host.ProcessMessages();
        host.ShowMessage(settings.FailText(), settings.FailCaption, settings.FailIcon,
                         MsgButtons::Ok);
        host.SetProgress(0);
        return;
    }

    if (progress.TxPackageIndex == 1 && !host.TimerEnabled(settings.Timer)) {
        host.SetTimerEnabled(settings.Timer, true);
    }
    host.ProcessMessages();
}

void StopAndWait::TickIfRunning() {
    if (Running()) {
        Tick();
    }
}

}  // namespace vyx
