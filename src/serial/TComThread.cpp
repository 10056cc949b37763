#include "TComThread.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "HandOver.h"
#include "TCustomComPort.h"

namespace vyx {

namespace {

using Clock = std::chrono::steady_clock;

// Receive coalescing. A USB device delivers one message in packets of 64 bytes,
// up to about a millisecond apart. When the bytes received so far hold whole
// messages (the port's frame-complete hint says so, or no hint is installed) the
// batch goes to the window at once: no latency is added. When they end in a
// partial message, the thread waits for the rest: every new chunk asks the hint
// again; a gap of CoalesceGap without a byte, or CoalesceLimit in all, hands the
// bytes over as they are (the link layer copes with partial frames).
constexpr auto CoalesceGap = std::chrono::milliseconds(20);
constexpr auto CoalesceLimit = std::chrono::milliseconds(200);

constexpr short HangUpEvents = POLLHUP | POLLERR | POLLNVAL;

}  // namespace

TComThread::TComThread(TCustomComPort& port, TComEvents events) : port(port), events(events) {
    // The batches go to the thread that opened the port, through its queue.
    thread = std::thread([this, queue = CurrentHandOverQueue()] {
        UseHandOverQueue(queue);
        Execute();
    });
}

TComThread::~TComThread() {
    Stop();
    if (thread.joinable()) {
        WaitFor();
    }
}

void TComThread::Stop() {
    stopRequested = true;
    stopSignal.Raise();
}

void TComThread::WaitFor() {
    while (!ended) {
        RunPendingHandOvers();
        WaitForHandOverOr([this] { return ended.load(); });
    }
    if (thread.joinable()) {
        thread.join();
    }
}

void TComThread::Execute() {
    try {
        Run();
    } catch (...) {
        // An exception from the window thread's processing ends the thread quietly.
        fatal = std::current_exception();
    }
    ended = true;
    NotifyHandOverWaiters();
}

void TComThread::Run() {
    ComReceiveQueue& queue = port.ReceiveQueue();
    while (!stopRequested) {
        const bool full = queue.Full();
        pollfd fds[3] = {{stopSignal.Fd(), POLLIN, 0},
                         {queue.DeviceFd(), static_cast<short>(full ? 0 : POLLIN), 0},
                         {queue.RoomFd(), POLLIN, 0}};
        if (::poll(fds, 3, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;  // a failed wait ends the thread, as a stop does
        }
        if (fds[0].revents != 0 || stopRequested) {
            return;
        }
        if (fds[2].revents != 0) {
            queue.TakeRoom();
        }
        bool hungUp = (fds[1].revents & HangUpEvents) != 0;
        ComReceiveQueue::FillResult fill;
        if ((fds[1].revents & POLLIN) != 0 || hungUp) {
            fill = queue.Fill();
        }
        hungUp = hungUp || fill.hungUp;
        bool sawEventChar = fill.sawEventChar;
        if (fill.added > 0) {
            if (!hungUp && !Coalesce(hungUp, sawEventChar)) {
                return;
            }
            current = TComEvents{evRxChar};
            if (sawEventChar) {
                current.Include(evRxFlag);
            }
            // Only the events the port asked for.
            for (TComEvent e : {evRxChar, evRxFlag}) {
                if (!events.Contains(e)) {
                    current.Exclude(e);
                }
            }
            if (!current.Empty()) {
                DispatchComMsg();
            }
        }
        if (hungUp) {
            // A device that is gone keeps the port readable (with a hang-up) for
            // ever: waiting again would spin, so the thread ends as on a failed wait.
            return;
        }
    }
}

bool TComThread::Coalesce(bool& hungUp, bool& sawEventChar) {
    ComReceiveQueue& queue = port.ReceiveQueue();
    const auto limit = Clock::now() + CoalesceLimit;
    auto lastChunk = Clock::now();
    while (!queue.HoldsWholeMessages() && !queue.Full()) {
        const auto deadline = std::min(limit, lastChunk + CoalesceGap);
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return true;
        }
        pollfd fds[2] = {{stopSignal.Fd(), POLLIN, 0}, {queue.DeviceFd(), POLLIN, 0}};
        const int ready = ::poll(fds, 2, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) {
            return true;
        }
        if (fds[0].revents != 0 || stopRequested) {
            return false;
        }
        if (ready <= 0) {
            continue;
        }
        const ComReceiveQueue::FillResult fill = queue.Fill();
        if (fill.added > 0) {
            lastChunk = Clock::now();
            sawEventChar = sawEventChar || fill.sawEventChar;
        }
        if (fill.hungUp || (fds[1].revents & HangUpEvents) != 0) {
            hungUp = true;
            return true;
        }
    }
    return true;
}

void TComThread::DispatchComMsg() {
    std::exception_ptr error =
        HandOverAndWait([this] { DoEvents(); }, [p = &port] { p->ReapRetiredThreads(); });
    if (error) {
        std::rethrow_exception(error);
    }
}

void TComThread::DoEvents() {
    struct Depth {
        int& depth;
        explicit Depth(int& d) : depth(d) { ++depth; }
        ~Depth() { --depth; }
    } scope(dispatchDepth);

    // A close from inside a handler retires this thread: the rest of the batch is
    // dropped, as the opening it was meant for is gone. (A batch run while Close
    // waits for the thread still belongs to the open port and is processed whole.)
    const auto step = [this](TComEvent e) {
        return current.Contains(e) && port.EventThread() == this;
    };
    if (step(evError)) {
        port.InputCount();  // reads and clears the line-error state
    }
    if (step(evRxChar)) {
        port.CallRxChar();
    }
    // evTxEmpty, evBreak, evRing, evRxFlag and evRx80Full have no handler of their own.
    if (step(evCTS) || step(evDSR) || step(evRLSD)) {
        port.CheckModemStatus();
    }
}

}  // namespace vyx
