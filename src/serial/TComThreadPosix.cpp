// The event thread's wait on POSIX systems: poll() on the device, the stop signal
// and the receive buffer's room signal.
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "TComThread.h"
#include "TCustomComPort.h"

namespace vyx {

namespace {

using Clock = std::chrono::steady_clock;

constexpr short HangUpEvents = POLLHUP | POLLERR | POLLNVAL;

// Waits for the rest of a message that arrived in part; false if stopped.
bool Coalesce(ComReceiveQueue& queue, int stopFd, const std::atomic<bool>& stopRequested,
              bool& hungUp, bool& sawEventChar) {
    const int deviceFd = static_cast<int>(queue.Device());
    const auto first = Clock::now();
    auto lastChunk = first;
    while (!queue.HoldsWholeMessages() && !queue.Full()) {
        const auto deadline = CoalesceDue(first, lastChunk);
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return true;
        }
        pollfd fds[2] = {{stopFd, POLLIN, 0}, {deviceFd, POLLIN, 0}};
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
        const bool gone = (fds[1].revents & HangUpEvents) != 0;
        const ComReceiveQueue::FillResult fill = queue.Fill(gone);
        if (fill.added > 0) {
            lastChunk = Clock::now();
            sawEventChar = sawEventChar || fill.sawEventChar;
        }
        if (fill.hungUp || gone) {
            hungUp = true;
            return true;
        }
    }
    return true;
}

}  // namespace

void TComThread::Run() {
    ComReceiveQueue& queue = port.ReceiveQueue();
    const int stopFd = static_cast<int>(stopSignal.Native());
    while (!stopRequested) {
        const bool full = queue.Full();
        pollfd fds[3] = {
            {stopFd, POLLIN, 0},
            {static_cast<int>(queue.Device()), static_cast<short>(full ? 0 : POLLIN), 0},
            {static_cast<int>(queue.RoomSignal()), POLLIN, 0}};
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
            fill = queue.Fill(hungUp);
        }
        hungUp = hungUp || fill.hungUp;
        bool sawEventChar = fill.sawEventChar;
        if (fill.added > 0) {
            if (!hungUp && !Coalesce(queue, stopFd, stopRequested, hungUp, sawEventChar)) {
                return;
            }
            Deliver(true, sawEventChar);
        }
        if (hungUp) {
            // A device that is gone keeps the port readable (with a hang-up) for
            // ever: waiting again would spin, so the thread ends once its owner knows.
            DeliverHangUp();
            return;
        }
    }
}

}  // namespace vyx
