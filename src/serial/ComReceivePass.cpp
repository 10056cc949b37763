#include "ComReceivePass.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>

#include "TCustomComPort.h"

namespace vyx {

namespace {

constexpr short HangUpEvents = POLLHUP | POLLERR | POLLNVAL;

}  // namespace

ComReceivePass::ComReceivePass(TCustomComPort& port) : port(port) {
    port.ownerWaits = true;
}

ComReceivePass::~ComReceivePass() {
    port.ownerWaits = false;
}

void ComReceivePass::Follow() {
    if (port.Opening() != opening) {
        opening = port.Opening();
        seen = 0;
        waited = false;
        hangUpTold = false;
        partialSince.reset();
    }
}

int ComReceivePass::Device() {
    ComReceiveQueue& queue = port.ReceiveQueue();
    // A device that is gone stays readable for ever, and a full buffer waits for
    // a Read on this very thread: waiting on either would spin.
    if (!port.Connected() || port.Events().Empty() || hangUpTold || queue.Full()) {
        return -1;
    }
    return static_cast<int>(queue.Device());
}

bool ComReceivePass::Wait(int wakeFd, Clock::time_point until) {
    Follow();
    if (partialSince) {
        until = std::min(until, CoalesceDue(*partialSince, lastChunk));
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
    const int timeout = static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, 1 << 30));
    pollfd fds[2] = {{wakeFd, POLLIN, 0}, {Device(), POLLIN, 0}};
    if (::poll(fds, 2, timeout) < 0) {
        fds[0].revents = 0;
        fds[1].revents = 0;  // interrupted: the caller's loop comes round again
    }
    seen = fds[1].revents;
    waited = true;
    return fds[0].revents != 0;
}

void ComReceivePass::Run() {
    // Never inside a handler of the same opening; a port reopened by a handler
    // delivers its new opening's bytes in that handler's nested loop, as the
    // window does.
    if (delivering != 0 && delivering == port.Opening()) {
        return;
    }
    Follow();
    short revents = seen;
    const int fd = Device();
    if (!waited && fd >= 0) {
        pollfd look{fd, POLLIN, 0};
        revents = ::poll(&look, 1, 0) > 0 ? look.revents : 0;
    }
    waited = false;
    seen = 0;
    if (fd < 0) {
        return;
    }
    ComReceiveQueue& queue = port.ReceiveQueue();
    bool gone = (revents & HangUpEvents) != 0;
    if ((revents & POLLIN) != 0 || gone) {
        const ComReceiveQueue::FillResult fill = queue.Fill(gone);
        gone = gone || fill.hungUp;
        if (gone) {
            queue.MarkHungUp();
        }
        if (fill.added > 0) {
            lastChunk = Clock::now();
            partialSince = partialSince.value_or(lastChunk);
        }
    }
    if (partialSince && !gone && !queue.Full() && !queue.HoldsWholeMessages()) {
        if (Clock::now() < CoalesceDue(*partialSince, lastChunk)) {
            return;  // the rest of the message is on its way
        }
    }
    Deliver(partialSince.has_value(), gone);
}

void ComReceivePass::Deliver(bool bytes, bool gone) {
    partialSince.reset();
    const std::uint64_t mine = opening;
    struct Delivering {
        std::uint64_t& current;
        const std::uint64_t outer;
        Delivering(std::uint64_t& c, std::uint64_t opening) : current(c), outer(c) {
            current = opening;
        }
        ~Delivering() { current = outer; }
    } scope(delivering, mine);
    // The count is what this thread took from the driver and nobody read yet:
    // bytes that came since wake the next wait.
    const std::size_t count = port.ReceiveQueue().Buffered();
    if (bytes && count > 0 && port.Events().Contains(evRxChar)) {
        port.DoRxChar(static_cast<std::int32_t>(count));
    }
    // A handler that closed or reopened the port has said what happens to it.
    if (gone && port.Connected() && port.Opening() == mine && !hangUpTold) {
        hangUpTold = true;
        port.CallHangUp();
    }
}

}  // namespace vyx
