#include "HeadlessLoop.h"

#include <algorithm>
#include <exception>

#include "DevicePort.h"
#include "HandOver.h"

namespace vyx {

namespace {

using Clock = std::chrono::steady_clock;

// How often RunUntil looks at a condition that may change without a wake-up.
constexpr std::chrono::milliseconds ConditionPoll(5);

}  // namespace

HeadlessLoop::HeadlessLoop(HandOverQueueUse queueUse, LinkHost& ui, ConnectionView& view)
    : connection(
          port, ui, view,
          [this] {
              if (OnConnected) {
                  OnConnected();
              }
          },
          [this] {
              if (OnLost) {
                  OnLost();
              }
          },
          [this](bool timed) {
              if (OnClosed) {
                  OnClosed(timed);
              }
          }),
      previousQueue(CurrentHandOverQueue()) {
    if (queueUse == HandOverQueueUse::OwnForThisThread) {
        ownQueue = NewHandOverQueue();
        UseHandOverQueue(ownQueue.get());
    }
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
    port.OnHangUp = [this](TCustomComPort&) { Guarded([this] { HungUp(); }); };
    timers.SetHandler(TimerId::Timer1, [this] {
        if (OnTimer1) {
            OnTimer1();
        }
    });
    timers.SetHandler(TimerId::Timer2, [this] { TimedCloseDue(); });
    timers.SetHandler(TimerId::Timer3, [this] {
        if (OnTimer3) {
            OnTimer3();
        }
    });
    SetHandOverWakeUp([this] { wait.WakeUp(); });
}

HeadlessLoop::~HeadlessLoop() {
    SetHandOverWakeUp({});
    RunPendingHandOvers();
    if (ownQueue) {
        UseHandOverQueue(previousQueue);
    }
}

void HeadlessLoop::ClosePortQuietly() {
    try {
        port.Close();
    } catch (const EComPort&) {
        // Going away: the port object lets the device go on its own.
    }
}

void HeadlessLoop::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        HandlerFailed(error.what());
    } catch (...) {
        HandlerFailed("unknown failure");
    }
}

void HeadlessLoop::ProcessPending() {
    ++pumpDepth;
    Pump();
    --pumpDepth;
}

void HeadlessLoop::Pump() {
    RunPendingHandOvers();
    wait.Receive();
    // The one-shot close runs from the loop once a receive handler under way has
    // returned, as in the window, where it waits for the port's event thread,
    // which waits for that handler.
    Guarded([this] {
        timers.RunDue([this](TimerId id) { return id != TimerId::Timer2 || receiveDepth == 0; });
    });
}

bool HeadlessLoop::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    return Loop(&done, limit);
}

void HeadlessLoop::RunFor(std::chrono::milliseconds duration) {
    Loop(nullptr, duration);
}

bool HeadlessLoop::Loop(const std::function<bool()>* done, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    for (;;) {
        Pump();
        if (done != nullptr && (*done)()) {
            return true;
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            return false;
        }
        auto wakeAt = std::min(deadline, timers.NextDue().value_or(deadline));
        if (done != nullptr) {
            wakeAt = std::min(wakeAt, now + ConditionPoll);
        }
        wait.Until(wakeAt);
    }
}

}  // namespace vyx
