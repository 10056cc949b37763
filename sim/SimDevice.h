#pragma once
// A simulated Vyx on its own thread, on the far side of a pseudo-terminal that is
// published in the user's virtual-port folder. For tests, benchmarks and the
// vyx-sim program.
//
// Once started it waits for the tool to open the port, announces its identity
// until the tool speaks to it, answers memory reads from its configuration
// block, acknowledges packages, verifies and keeps finished transfers, and
// restarts at release 2.39 after a good firmware image. Every observation is a
// consistent copy taken under a lock.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "DeviceModel.h"
#include "FrameAssembler.h"
#include "OutputQueue.h"
#include "SimOptions.h"
#include "SimStatus.h"

namespace vyx::sim {

class PseudoTerminal;
class PortLink;

class SimDevice {
public:
    explicit SimDevice(SimOptions options);
    ~SimDevice();
    SimDevice(const SimDevice&) = delete;
    SimDevice& operator=(const SimDevice&) = delete;

    /// Creates and publishes the port, then serves it on a thread of its own.
    /// Throws std::runtime_error with a readable cause. Call once.
    void Start();
    /// Ends the thread, removes the link and closes the line. Idempotent.
    void Stop();

    /// The pseudo-terminal's slave, e.g. /dev/pts/4.
    std::string SlavePath() const { return slavePath; }
    /// The published link to it in the virtual-port folder.
    std::string LinkPath() const { return linkPath; }

    /// A copy of everything observable, taken at one moment.
    SimStatus Status() const;

    /// Waits until `condition` holds or `timeout` passes; returns whether it holds.
    /// The condition runs under the device's lock: it must only look at its argument.
    bool WaitFor(const std::function<bool(const SimStatus&)>& condition,
                 std::chrono::milliseconds timeout) const;

    /// Whether the thread has stopped serving (hang-up fault or a line failure).
    bool Finished() const;
    /// Why the thread stopped on a failure; empty otherwise.
    std::string Failure() const;

private:
    using Clock = std::chrono::steady_clock;

    void Run();
    void Serve();
    bool ReadLine(Clock::time_point now);
    bool Apply(DeviceModel::Outcome outcome, Clock::time_point now);
    void UpdateLineState(bool sawClose, Clock::time_point now);
    void Announce(Clock::time_point now);
    void WriteDue(Clock::time_point now);
    bool DrainCloseEvents();
    void Note(const std::string& line) const;

    SimOptions options;
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    DeviceModel model;  // guarded by mutex
    bool finished = false;
    std::string failure;

    std::unique_ptr<PseudoTerminal> line;
    std::unique_ptr<PortLink> link;
    std::string slavePath;
    std::string linkPath;
    int wakeFd = -1;
    int watchFd = -1;  // open and close events of the slave
    std::atomic<bool> stopRequested{false};
    std::thread thread;

    // Touched by the device's thread only.
    FrameAssembler assembler;
    OutputQueue output;
    bool open = false;
    bool writeBlocked = false;
    Clock::time_point nextAnnouncement{};
    std::optional<Clock::time_point> restartDue;
};

}  // namespace vyx::sim
