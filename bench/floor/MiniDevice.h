#pragma once
// The benchmark's device: the least a Vyx must do for the tool's exchanges, on
// one thread, replying after a chosen delay held by an absolute-time sleep, with
// no allocation per exchange. The floor client and the tool meet the same one.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "PseudoTerminal.h"
#include "SimBlocks.h"

namespace vyx::bench {

/// Process and thread usage at one moment.
struct Usage {
    std::chrono::steady_clock::time_point wall;
    double processCpu = 0;  // seconds, every thread of the process
    long processSwitches = 0;
    double deviceCpu = 0;  // seconds, this device's thread
    long deviceSwitches = 0;
};

/// Requests the device answered, each whole frame as it came, one after another.
struct RequestLog {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> ends;  // where each request ends in `bytes`
};

class MiniDevice {
public:
    /// Announces `version` (product line, shown byte, major, minor) until spoken
    /// to; after a whole firmware image it restarts at release 2.39.
    MiniDevice(std::array<std::uint8_t, 4> version, std::chrono::microseconds delay);
    ~MiniDevice();
    MiniDevice(const MiniDevice&) = delete;
    MiniDevice& operator=(const MiniDevice&) = delete;

    /// The pseudo-terminal's slave: the port to open.
    const std::string& Path() const { return line.SlavePath(); }

    /// The measured stretch: from the first request to the reply of request
    /// `count`. Called on the device's thread at both ends, outside the timing.
    void Measure(std::size_t count, std::function<void()> atStart = {},
                 std::function<void()> atEnd = {});
    /// Keeps every request (for the floor client to send the same ones).
    void Record() { recording = true; }

    /// Once the stretch has ended (true) or `limit` passed.
    bool WaitForEnd(std::chrono::milliseconds limit) const;
    bool Ended() const { return ended; }
    const Usage& Start() const { return start; }
    const Usage& End() const { return end; }
    std::size_t Requests() const { return requests; }
    const RequestLog& Recorded() const { return log; }

private:
    using Clock = std::chrono::steady_clock;

    void Run();
    void Handle(const std::uint8_t* frame, std::size_t size, Clock::time_point arrival);
    void Reply(std::uint8_t code, std::size_t payloadSize, Clock::time_point arrival);
    Usage Now() const;

    sim::PseudoTerminal line;  // the tool opens its slave
    int stopFd = -1;
    std::chrono::microseconds delay;
    std::vector<std::uint8_t> announcement;
    std::vector<std::uint8_t> restarted;  // the announcement after a firmware image
    sim::ConfigBlock block;
    std::uint32_t configBase;

    std::size_t measured = 0;
    std::function<void()> atStart;
    std::function<void()> atEnd;
    bool recording = false;
    RequestLog log;

    // The device thread's own.
    bool spokenTo = false;
    bool afterRestart = false;
    Clock::time_point nextAnnouncement{};
    std::size_t requests = 0;
    Usage start;
    Usage end;
    std::array<std::uint8_t, 2048> out{};
    std::atomic<bool> ended{false};
    std::thread thread;
};

}  // namespace vyx::bench
