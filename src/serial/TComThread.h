#pragma once
// The receive event thread of an open port.

#include <atomic>
#include <chrono>
#include <exception>
#include <thread>

#include "ComTypes.h"
#include "EventSignal.h"

namespace vyx {

class TCustomComPort;

/// Waits for bytes from the device and a stop signal at once (poll() on POSIX
/// systems; an overlapped wait and read with a stop event on Windows), takes them
/// into the port's receive queue and hands each batch of events to the window
/// thread, blocking until the window thread has processed it. So the port's
/// OnRxChar handler runs on the window thread only, one call at a time.
///
/// The thread ends on Stop(), when the device hangs up (telling the window thread
/// through the port's OnHangUp first) or its wait fails, and when processing a
/// batch threw (the exception is kept in FatalException and never shown). After it
/// ended the port delivers no notifications until it is reopened.
class TComThread {
public:
    /// Starts the thread for `port` (window thread). Throws std::system_error when
    /// the system cannot provide the stop signal or the thread.
    TComThread(TCustomComPort& port, TComEvents events);
    /// Stops the thread and waits for its end (see WaitFor).
    ~TComThread();
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;

    /// Asks the thread to end; it leaves its wait at once, or when released from
    /// the hand-over it is blocked in. It touches the device no more after that.
    void Stop();
    /// Window thread: runs pending hand-overs until the thread has ended, then joins
    /// it. A batch queued before the stop is still processed here. Must not be called
    /// while this thread's own batch is being processed further up the stack.
    void WaitFor();
    bool Ended() const { return ended; }
    /// True while a batch or the hang-up of this thread is being processed (window
    /// thread only).
    bool Dispatching() const { return dispatchDepth > 0; }
    /// What ended the thread, if processing a batch threw.
    std::exception_ptr FatalException() const { return fatal; }

    /// Window thread: processes the current batch, event by event in a fixed order.
    void DoEvents();
    /// Window thread: tells the port's owner that the device hung up.
    void DoHangUp();

protected:
    /// The thread body.
    void Execute();
    /// Hands the current batch to the window thread and returns once it has been processed.
    void DispatchComMsg();

private:
    /// The platform's wait loop; returns when stopped, when the device is gone or
    /// its wait failed.
    void Run();
    /// Hands over a batch of the events the port asked for: evRxChar (and evRxFlag
    /// when the event character came) if bytes arrived, plus `reported`.
    void Deliver(bool bytesArrived, bool sawEventChar, TComEvents reported = {});
    /// Hands the hang-up to the window thread (unless stopped) and returns once it
    /// has been processed; the platform's loop then ends.
    void DeliverHangUp();
    /// Runs `step` on the window thread for this thread, once released reaping
    /// the threads retired by a close from inside a handler.
    void HandOver(void (TComThread::*step)());

    TCustomComPort& port;
    const TComEvents events;
    TComEvents current;  // the batch being handed over
    EventSignal stopSignal;
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> ended{false};
    std::exception_ptr fatal;
    int dispatchDepth = 0;
    std::thread thread;
};

}  // namespace vyx
