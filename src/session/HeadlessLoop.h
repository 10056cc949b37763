#pragma once
// The window thread of a device logic run without a window (vyxctl, the road tests,
// the benchmarks): the port set up as the tool sets it, the window's timers on the
// steady clock, and a loop that sleeps until the port has news, a due timer or its
// deadline (see HeadlessWait: on POSIX systems it waits on the port itself, with no
// event thread). The thread that creates the loop plays the window thread.
//
// A host derives from it, after the window interfaces the connection steps talk to
// (LinkHost, ConnectionView), wires the device logic into the handler slots and
// says what a failed handler means for it. The host closes the port in its own
// destructor, while what the handlers reach still exists.

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "ComPortIo.h"
#include "Connection.h"
#include "ConnectionView.h"
#include "Cport.h"
#include "HeadlessTimers.h"
#include "HeadlessWait.h"
#include "LinkHost.h"

namespace vyx {

/// Which hand-over queue the loop serves.
enum class HandOverQueueUse {
    /// The process-wide one: one loop at a time in the process.
    ProcessWide,
    /// One of the calling thread's own, until the loop is destroyed on that thread:
    /// several loops can serve several devices, one thread each.
    OwnForThisThread,
};

class HeadlessLoop {
public:
    HeadlessLoop(const HeadlessLoop&) = delete;
    HeadlessLoop& operator=(const HeadlessLoop&) = delete;

    // The device logic's entry points.
    std::function<void(int count)> OnRxChar;   ///< VCPRxChar
    std::function<void()> OnTimer1;            ///< Timer1Timer
    std::function<void()> OnTimer3;            ///< Timer3Timer
    std::function<void()> OnConnected;         ///< the port was opened (identity handling resets)
    std::function<void()> OnLost;              ///< the device went away (exchanges stop)
    std::function<void(bool timed)> OnClosed;  ///< the port was closed (exchanges stop)

    /// The loop: received bytes, hand-overs and due timer ticks until `done()`
    /// holds (true) or `limit` has passed (false). Sleeps while nothing is due;
    /// conditions that change elsewhere (a simulator's state, a stop request) are
    /// looked at every few milliseconds.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
    /// The loop for a fixed time, woken only by the port, hand-overs and timers.
    void RunFor(std::chrono::milliseconds duration);

    /// Whether a handler is letting the window process events right now (as
    /// opposed to the loop itself running them).
    bool InsidePump() const { return pumpDepth > 0; }

    const HeadlessTimers& Timers() const { return timers; }

protected:
    /// Sets the port up as the tool does and installs the hand-over wake-up; the
    /// connection steps log to `ui` and show their state on `view` (the host).
    HeadlessLoop(HandOverQueueUse queueUse, LinkHost& ui, ConnectionView& view);
    /// Removes the wake-up, runs what is still handed over and gives the thread its
    /// previous queue back.
    virtual ~HeadlessLoop();

    /// Timer2's tick: the one-shot close.
    virtual void TimedCloseDue() { connection.TimedClose(); }
    /// The device went away while the port was open: the connection's lost step.
    virtual void HungUp() { connection.Lost(); }
    /// A handler threw; the loop goes on.
    virtual void HandlerFailed(const std::string& what) = 0;

    /// LinkHost::ProcessMessages: received bytes, hand-overs and due ticks from
    /// inside a handler.
    void ProcessPending();
    /// Closes the port, ignoring a device that is already gone.
    void ClosePortQuietly();

    TComPort port;
    ComPortIo io{port};
    HeadlessTimers timers;
    Connection connection;

private:
    void Pump();
    void Guarded(const std::function<void()>& handler);
    bool Loop(const std::function<bool()>* done, std::chrono::milliseconds limit);

    std::shared_ptr<HandOverQueue> ownQueue;
    HandOverQueue* previousQueue = nullptr;  // the thread's queue before this loop
    int receiveDepth = 0;
    int pumpDepth = 0;
    HeadlessWait wait{port};
};

}  // namespace vyx
