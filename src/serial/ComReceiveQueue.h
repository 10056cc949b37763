#pragma once
// The port's receive queue: the bytes the event thread has taken from the driver,
// followed by what the driver still holds.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "ComTypes.h"
#include "EventSignal.h"
#include "FrameCheck.h"
#include "TComTimeouts.h"

namespace vyx {

/// Tells whether the bytes received so far hold whole messages (see
/// TCustomComPort::SetFrameCompleteHint).
using FrameCompleteHint = std::function<bool(const std::uint8_t* bytes, std::size_t count)>;

// Receive coalescing: how long a partial message is waited for is the link's
// CoalesceDue (FrameCheck.h), the same for the event thread of every platform.

/// Receive side of an open port, shared by the window thread (Read, Count, Clear)
/// and the event thread (Fill or Append, and the hint). Every read from the device
/// happens under one lock, appending to the buffer, so bytes keep their order
/// whichever thread takes them. On POSIX systems the window thread takes from the
/// device only what it needs beyond the buffer, so bytes it did not ask for stay
/// with the driver and still wake the event thread. On Windows only the event
/// thread reads the device (one overlapped wait per handle at a time), and Read
/// applies the port's read time-outs to the buffer.
class ComReceiveQueue {
public:
    /// Result of a read: bytes delivered, and the system's code of a failure (0: none).
    struct ReadResult {
        std::int32_t count = 0;
        int error = 0;
    };
    /// Result of taking what the driver holds into the buffer.
    struct FillResult {
        std::size_t added = 0;
        bool sawEventChar = false;
        bool hungUp = false;  // the device is gone (or failed): no more bytes will come
    };

    ComReceiveQueue();

    /// Starts serving `device` with an empty buffer.
    void Attach(ComHandle device);
    /// Stops serving the device and forgets what was buffered.
    void Detach();
    /// The buffer takes at least this many bytes before further ones wait in the driver.
    void SetCapacity(std::size_t bytes);
    void SetEventChar(std::uint8_t value) { eventChar = value; }
    void SetHint(FrameCompleteHint value);

    // Window thread.
    ReadResult Read(std::uint8_t* out, std::int32_t count, const TComTimeouts::ReadLimits& limits);
    /// Bytes waiting: the buffer, plus on POSIX systems what the driver holds (on
    /// Windows the event thread drains the driver before it hands a batch over).
    /// Returns 0 or the system's code of the failed driver query.
    int Count(std::int32_t& count);
    /// Discards the received bytes and/or the driver's transmit queue.
    int Clear(bool input, bool output);

    // Event thread.
    /// Takes what the driver holds (POSIX systems: non-blocking reads). A short
    /// read ends the filling, as the driver had no more; `toTheEnd` reads on until
    /// the driver says so (a hang-up: what came before it must not stay behind).
    FillResult Fill(bool toTheEnd = false);
    /// Adds bytes the event thread has read from the device.
    FillResult Append(const std::uint8_t* data, std::size_t count);
    /// Records that the device is gone.
    void MarkHungUp() { hungUp = true; }
    bool Full();
    /// True when no hint is installed or the hint says the buffer holds whole messages.
    bool HoldsWholeMessages();
    /// Room left before further bytes wait in the driver.
    std::size_t Room();
    /// The bytes taken from the driver and not read yet.
    std::size_t Buffered();
    ComHandle Device() const { return device; }
    /// Signalled after Read or Clear made room in a full buffer.
    std::intptr_t RoomSignal() const { return room.Native(); }
    void TakeRoom() { room.Take(); }

    /// Whether the device has hung up (set by whichever thread met it).
    bool HungUp() const { return hungUp; }

private:
    using Clock = std::chrono::steady_clock;

    std::size_t Take(std::uint8_t* out, std::size_t count);
    /// Under the lock: wakes a Read waiting for bytes, if one is.
    void TellArrival();
    /// Under the lock: forgets the buffered bytes, making room.
    void DropBuffered();
    // The device side of Read, one unit per platform.
    /// Under the lock: takes up to `count` bytes straight from the driver (none on
    /// Windows, where the event thread is the only reader); marks a hang-up.
    std::size_t ReadDevice(std::uint8_t* out, std::size_t count, int& error);
    /// Waits up to `milliseconds` (-1: without limit) for bytes to arrive;
    /// returns 0 or the system's code of a failed wait.
    int WaitForBytes(std::int64_t milliseconds);
    /// How long a read that began at `start`, took its last byte at `lastByte` and
    /// holds `got` bytes may still wait, in milliseconds (-1: without limit); nullopt once one of
    /// its limits has run out.
    static std::optional<std::int64_t> WaitLeft(const TComTimeouts::ReadLimits& limits,
                                                Clock::time_point start, Clock::time_point lastByte,
                                                std::size_t got);

    std::mutex mutex;
    std::vector<std::uint8_t> bytes;
    std::size_t capacity;
    FrameCompleteHint hint;
    std::atomic<ComHandle> device{NoComHandle};
    std::atomic<bool> hungUp{false};
    std::atomic<std::uint8_t> eventChar{0};
    EventSignal arrived;         // the event thread appended bytes while a Read waited
    bool readerWaiting = false;  // a Read is (about to be) waiting for bytes
    bool arrivalTold = false;    // `arrived` is raised and not taken yet
    EventSignal room;            // bytes were taken from a full buffer
};

}  // namespace vyx
