#pragma once
// The simulated device's behaviour, free of any I/O: it takes one whole frame
// from the tool and says what the device answers. The thread and the
// pseudo-terminal around it live in SimDevice.

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "SimOptions.h"
#include "SimStatus.h"

namespace vyx::sim {

class DeviceModel {
public:
    using Frame = std::vector<std::uint8_t>;

    /// What the device does after one frame.
    struct Outcome {
        std::vector<Frame> replies;  ///< frames to send, in order
        bool hangUp = false;         ///< close the line now, before any reply
        bool restart = false;        ///< a firmware image was accepted: restart after the replies
        std::chrono::milliseconds delay{0};  ///< hold the replies back this much more
        std::vector<std::string> notes;      ///< lines for the event log
    };

    explicit DeviceModel(const SimOptions& options);

    /// Handles one frame with a good checksum (start byte through checksum).
    Outcome HandleFrame(std::span<const std::uint8_t> frame);

    /// The announcement frame: identity, or an operating-mode notice.
    Frame Announcement() const;

    /// Ends a restart: the device now runs release 2.39 and announces again.
    void FinishRestart();

    /// The tool opened the port: forget the open transfer and announce again.
    void PortOpened();

    SimStatus& Status() { return status; }
    const SimStatus& Status() const { return status; }

private:
    Outcome HandlePackage(std::uint8_t kind, std::span<const std::uint8_t> payload);
    Outcome HandleMemoryRead(std::span<const std::uint8_t> payload);
    Outcome FinishTransfer(std::uint8_t kind, std::uint16_t index,
                           std::span<const std::uint8_t> trailer);
    Frame Reply(std::uint8_t code, std::span<const std::uint8_t> payload);
    Frame AckFrame(std::uint16_t index);
    Frame NackFrame();

    const SimOptions& options;
    SimStatus status;

    // The transfer in progress, known by its kind, identifier and package count.
    struct Transfer {
        std::uint8_t kind = 0;
        std::uint16_t id = 0;
        std::uint16_t count = 0;
        std::vector<std::vector<std::uint8_t>> packages;  // by index - 1; the last is the trailer
        std::vector<bool> arrived;                        // by index - 1: accepted once
    } transfer;
};

}  // namespace vyx::sim
