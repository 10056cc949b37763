// The event thread's wait on Windows: an overlapped line-event wait and an
// overlapped read of what arrived, each together with the stop event.
#include <algorithm>
#include <chrono>
#include <cstdint>

#include "CommControl.h"
#include "SystemCodes.h"
#include "TComThread.h"
#include "TCustomComPort.h"

namespace vyx {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t ChunkSize = 4096;

// The platform's bit of each TComEvent, in the enumeration's order.
constexpr DWORD EventBits[] = {EV_RXCHAR, EV_TXEMPTY, EV_RXFLAG, EV_RING, EV_BREAK,
                               EV_CTS,    EV_DSR,     EV_ERR,    EV_RLSD, EV_RX80FULL};

// What the thread needs to receive. A device without modem lines (a
// pseudo-terminal under Wine) refuses waits that include their events.
constexpr DWORD ReceiveBits = EV_RXCHAR | EV_RXFLAG | EV_ERR;

DWORD MaskFor(TComEvents events) {
    DWORD mask = EV_RXCHAR;  // the thread fills the receive buffer whatever is reported
    for (int e = evRxChar; e <= evRx80Full; ++e) {
        if (events.Contains(static_cast<TComEvent>(e))) {
            mask |= EventBits[e];
        }
    }
    return mask;
}

TComEvents EventsIn(DWORD mask) {
    TComEvents reported;
    for (int e = evRxChar; e <= evRx80Full; ++e) {
        if ((mask & EventBits[e]) != 0) {
            reported.Include(static_cast<TComEvent>(e));
        }
    }
    return reported;
}

DWORD Milliseconds(Clock::time_point deadline) {
    if (deadline == Clock::time_point::max()) {
        return INFINITE;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<DWORD>(std::clamp<std::int64_t>(left.count(), 0, 1 << 30));
}

// One round of receiving: wait for a line event, then take what the driver holds.
struct Round {
    bool stopped = false;
    bool gone = false;      // the device is gone, or its wait failed for good
    DWORD reported = 0;     // line events of the wait
    std::size_t added = 0;  // bytes taken into the receive buffer
    bool sawEventChar = false;
};

class Receiver {
public:
    Receiver(ComReceiveQueue& queue, HANDLE stop, TComEvents events)
        : queue(queue), device(comm::Handle(queue.Device())), stop(stop), mask(MaskFor(events)) {
        if (!::SetCommMask(device, mask)) {
            mask = ReceiveBits;
            ::SetCommMask(device, mask);
        }
    }

    Round Receive(Clock::time_point deadline) {
        Round round;
        DWORD reported = 0;
        const BOOL started = ::WaitCommEvent(device, &reported, waitIo.Start());
        const comm::IoOutcome wait =
            comm::Finish(device, waitIo, started, stop, Milliseconds(deadline));
        if (wait.kind == comm::IoOutcome::Stopped) {
            round.stopped = true;
            return round;
        }
        if (wait.kind == comm::IoOutcome::TimedOut) {
            return round;
        }
        if (wait.kind == comm::IoOutcome::Done) {
            round.reported = reported;
        } else if (DeviceGone(static_cast<int>(wait.code))) {
            round.gone = true;
            return round;
        } else if (wait.code == ERROR_NOT_SUPPORTED && mask != ReceiveBits) {
            mask = ReceiveBits;
            ::SetCommMask(device, mask);
        }
        // Wine on a pseudo-terminal ends most line-event waits at once without an
        // event, but its read then waits for the first byte: the read is the wait.
        Take(round, deadline);
        if (!round.stopped && !round.gone && wait.kind == comm::IoOutcome::Failed &&
            round.added == 0) {
            // Neither the wait nor the read waited: going on would spin.
            round.gone = true;
        }
        return round;
    }

private:
    void Take(Round& round, Clock::time_point deadline) {
        std::uint8_t chunk[ChunkSize];
        for (;;) {
            const DWORD room = static_cast<DWORD>(std::min(queue.Room(), sizeof chunk));
            if (room == 0) {
                return;
            }
            const BOOL started = ::ReadFile(device, chunk, room, nullptr, readIo.Start());
            const comm::IoOutcome read =
                comm::Finish(device, readIo, started, stop, Milliseconds(deadline));
            const ComReceiveQueue::FillResult fill = queue.Append(chunk, read.bytes);
            round.added += fill.added;
            round.sawEventChar = round.sawEventChar || fill.sawEventChar;
            if (read.kind == comm::IoOutcome::Stopped) {
                round.stopped = true;
                return;
            }
            if (read.kind == comm::IoOutcome::Failed && read.code != ERROR_OPERATION_ABORTED) {
                round.gone = true;
                queue.MarkHungUp();
                return;
            }
            // A full chunk may have left more with the driver.
            if (read.kind != comm::IoOutcome::Done || read.bytes < room) {
                return;
            }
        }
    }

    ComReceiveQueue& queue;
    HANDLE device;
    HANDLE stop;
    DWORD mask;
    comm::OverlappedIo waitIo;
    comm::OverlappedIo readIo;
};

}  // namespace

void TComThread::Run() {
    ComReceiveQueue& queue = port.ReceiveQueue();
    const HANDLE stop = reinterpret_cast<HANDLE>(stopSignal.Native());
    const HANDLE device = comm::Handle(queue.Device());
    Receiver receiver(queue, stop, events);
    while (!stopRequested) {
        if (queue.Full()) {
            HANDLE waits[2] = {stop, reinterpret_cast<HANDLE>(queue.RoomSignal())};
            ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
            queue.TakeRoom();
            continue;
        }
        Round round = receiver.Receive(Clock::time_point::max());
        if (round.stopped) {
            break;
        }
        bool gone = round.gone;
        bool sawEventChar = round.sawEventChar;
        if (round.added > 0 && !gone) {
            const auto first = Clock::now();
            auto lastChunk = first;
            while (!queue.HoldsWholeMessages() && !queue.Full()) {
                const auto deadline = CoalesceDue(first, lastChunk);
                if (Clock::now() >= deadline) {
                    break;
                }
                const Round more = receiver.Receive(deadline);
                if (more.stopped) {
                    return;
                }
                sawEventChar = sawEventChar || more.sawEventChar;
                round.reported |= more.reported;
                if (more.gone) {
                    gone = true;
                    break;
                }
                if (more.added == 0) {
                    break;
                }
                lastChunk = Clock::now();
            }
        }
        Deliver(round.added > 0, sawEventChar, EventsIn(round.reported));
        if (gone) {
            // A device that is gone fails every wait at once: the thread ends once
            // its owner knows, rather than spin.
            queue.MarkHungUp();
            DeliverHangUp();
            return;
        }
    }
    // Stopped or the wait failed: the mask goes (ending a wait still pending on
    // the device) and the driver's queues are discarded.
    ::SetCommMask(device, 0);
    ::PurgeComm(device, PURGE_TXCLEAR | PURGE_RXCLEAR);
}

}  // namespace vyx
