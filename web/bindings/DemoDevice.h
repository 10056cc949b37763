#pragma once
// The page's demo device: the simulator's device model on the page's clock, for
// people without a Vyx. It announces itself after the port opens (again every
// interval until spoken to), answers the frames the session writes, restarts
// after a good firmware image and announces the new release. No thread: the page
// hands in what it writes, takes what is due and asks when to look again.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "DeviceModel.h"
#include "FrameAssembler.h"
#include "OutputQueue.h"
#include "SimOptions.h"

namespace vyx::web {

/// What the page may choose about its demo device.
struct DemoChoices {
    bool oldRelease = false;     ///< announce 2.38, so the tool uploads its firmware
    bool operatingMode = false;  ///< a device still in operating mode
    std::size_t chunkSize = 0;   ///< 0: whole frames; else replies cut into pieces this size
    std::uint32_t hangUpAfterPackage = 0;  ///< 0: never; N: gone on package N
};

/// The simulator's options for those choices.
sim::SimOptions DemoOptions(const DemoChoices& choices);

class DemoDevice {
public:
    using Clock = std::chrono::steady_clock;
    using Chunk = std::vector<std::uint8_t>;

    explicit DemoDevice(sim::SimOptions options);
    DemoDevice(const DemoDevice&) = delete;
    DemoDevice& operator=(const DemoDevice&) = delete;

    /// The page opened the demo port (after a hang-up: the cable is back in, and
    /// the hang-up does not come again).
    void Opened(Clock::time_point now);
    /// The page closed it: whatever was on its way is dropped.
    void Closed();
    /// Bytes the session wrote.
    void Receive(std::span<const std::uint8_t> bytes, Clock::time_point now);
    /// Runs what is due by `now` (a restart, an announcement) and takes the chunks
    /// due, in order.
    std::vector<Chunk> Due(Clock::time_point now);
    /// When something is next due; nothing while the device only waits to be
    /// spoken to. A hang-up is due once, at once, so a page that only looks when
    /// something is due finds it.
    std::optional<Clock::time_point> NextDue() const;

    /// The device went away (the hang-up fault), until opened again.
    bool HungUp() const { return model.Status().hungUp; }
    const sim::SimStatus& Status() const { return model.Status(); }

private:
    bool Announcing() const;

    sim::SimOptions options;
    sim::DeviceModel model;
    sim::FrameAssembler assembler;
    sim::OutputQueue output;
    bool open = false;
    Clock::time_point nextAnnouncement{};
    std::optional<Clock::time_point> restartDue;
    std::optional<Clock::time_point> hangUpNotice;
};

}  // namespace vyx::web
