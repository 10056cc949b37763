#include "CliHost.h"

#include <exception>

#include "DevicePort.h"
#include "PortTrouble.h"

namespace vyx::cli {

namespace {

using Clock = std::chrono::steady_clock;

// How often RunUntil looks at a condition that may change without a wake-up.
constexpr std::chrono::milliseconds ConditionPoll(5);

}  // namespace

CliHost::CliHost()
    : queue(NewHandOverQueue()),
      previousQueue(CurrentHandOverQueue()),
      connection(
          port, *this, *this,
          [this] {
              if (OnOpened) {
                  OnOpened();
              }
          },
          [this] {
              if (OnLost) {
                  OnLost();
              }
          }) {
    UseHandOverQueue(queue.get());
    DevicePort::Configure(port);
    port.OnRxChar = [this](TCustomComPort&, std::int32_t count) {
        ++receiveDepth;
        Guarded([&] {
            if (OnRxChar) {
                OnRxChar(count);
            }
        });
        --receiveDepth;
    };
    port.OnHangUp = [this](TCustomComPort&) {
        lost = true;
        Guarded([this] { connection.Lost(); });
    };
    timers.SetHandler(TimerId::Timer1, [this] {
        if (OnTimer1) {
            OnTimer1();
        }
    });
    timers.SetHandler(TimerId::Timer2, [this] { connection.TimedClose(); });
    timers.SetHandler(TimerId::Timer3, [this] {
        if (OnTimer3) {
            OnTimer3();
        }
    });
    SetHandOverWakeUp([this] {
        {
            std::lock_guard lock(wakeMutex);
            wakePending = true;
        }
        wakeCondition.notify_one();
    });
}

CliHost::~CliHost() {
    Close();
    SetHandOverWakeUp({});
    RunPendingHandOvers();
    UseHandOverQueue(previousQueue);
}

std::optional<std::string> CliHost::Open(const std::string& path) {
    if (port.Connected()) {
        Close();
    }
    lost = false;
    try {
        std::string why;
        const auto refused = [&](const EComPort& e) { why = PortTrouble::Explain(e, path); };
        if (connection.Toggle(path, refused) != ConnectResult::Opened) {
            return why;
        }
    } catch (const EComPort& e) {
        // Opened, but its queues could not be emptied.
        Close();
        return PortTrouble::Explain(e, path);
    }
    return std::nullopt;
}

void CliHost::Close() {
    if (!port.Connected()) {
        return;
    }
    try {
        connection.Close();
    } catch (const EComPort&) {
        // Going away: the port object lets the device go on its own.
    }
}

void CliHost::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        if (!error) {
            error = e.what();
        }
    } catch (...) {
        if (!error) {
            error = "unknown failure";
        }
    }
}

void CliHost::ProcessMessages() {
    Pump();
}

void CliHost::Pump() {
    RunPendingHandOvers();
    // The one-shot close waits for the port's event thread, which waits for a
    // receive handler under way: it runs from the loop once the handler returned.
    Guarded([this] {
        timers.RunDue([this](TimerId id) { return id != TimerId::Timer2 || receiveDepth == 0; });
    });
}

bool CliHost::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    for (;;) {
        {
            std::lock_guard lock(wakeMutex);
            wakePending = false;
        }
        Pump();
        if (done()) {
            return true;
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            return false;
        }
        const auto wakeAt =
            std::min({deadline, timers.NextDue().value_or(deadline), now + ConditionPoll});
        std::unique_lock lock(wakeMutex);
        wakeCondition.wait_until(lock, wakeAt, [this] { return wakePending; });
    }
}

void CliHost::AppendLog(LogPane pane, const std::string& text) {
    if (pane == LogPane::Log && OnLog) {
        OnLog(text, red);
    }
}

void CliHost::SetLogColour(LogPane pane, std::uint32_t colour) {
    if (pane == LogPane::Log) {
        red = colour == LogRed;
    }
}

void CliHost::ClearLog(LogPane pane) {
    if (pane == LogPane::Log) {
        red = false;
    }
}

void CliHost::SetProgressMax(int maximum) {
    progressMax = maximum;
}

void CliHost::SetProgress(int position) {
    if (OnProgress) {
        OnProgress(position, progressMax);
    }
}

MsgResult CliHost::ShowMessage(const std::string& text, const std::string& caption, MsgIcon,
                               MsgButtons buttons) {
    if (!failure) {
        failure = caption + ": " + text;
    }
    return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
}

void CliHost::SetTimerEnabled(TimerId timer, bool enabled) {
    if (timer == TimerId::Timer2 && enabled && OnTimedClose) {
        OnTimedClose();
    }
    timers.SetEnabled(timer, enabled);
}

void CliHost::SetWriteEnabled(bool enabled) {
    if (enabled && OnConfigDone) {
        OnConfigDone();
    }
}

void CliHost::ApplyEditor(const EditorSnapshot& editor) {
    // A decoded block, the defaults and the preset never set "Durante" together
    // with "Entrada" or "Saída", so the buzzer coupling has nothing to do here.
    Editor = editor;
}

void CliHost::ClearListSelections() {
    Editor.Lists.fill(NoSelection);
}

void CliHost::EmptyField(EditorField field) {
    if (!IsList(field)) {
        Editor.Text(field).clear();
    }
}

}  // namespace vyx::cli
