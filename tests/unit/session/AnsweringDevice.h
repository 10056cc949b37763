#pragma once
// A device for the session's tests that answers every frame at once, and what it
// kept of the transfers it received.

#include <cstdint>
#include <map>
#include <vector>

#include "ConfigImage.h"
#include "DeviceFrames.h"
#include "DeviceSession.h"
#include "FakeHost.h"
#include "Frame.h"

namespace vyx::test {

/// Where the device keeps its configuration block.
inline constexpr std::uint32_t ConfigBase = 0x0801F000;

// The far side of the link: answers every frame the tool wrote, in order,
// as a device that replies at once would.
class AnsweringDevice {
public:
    using Bytes = std::vector<std::uint8_t>;

    explicit AnsweringDevice(FakeHost& host) : host(host) { Block.fill(0xFF); }

    void Announce(DeviceSession& session, const DeviceVersion& version) {
        Deliver(session, IdentityFrame(version, {7, 8, 9}, 1, ConfigBase));
    }

    // Answers until the tool has nothing more outstanding.
    void Serve(DeviceSession& session) {
        while (answered < host.Written.size()) {
            const Bytes frame = host.Written[answered++];
            const std::uint8_t code = frame[2];
            if (code == static_cast<std::uint8_t>(MessageCode::MemoryRead)) {
                const std::uint32_t address = ReadBE32(&frame[5]);
                const std::uint32_t count = ReadBE16(&frame[9]);
                Bytes payload(frame.begin() + 5, frame.begin() + 11);
                const auto from = Block.begin() + (address - ConfigBase);
                payload.insert(payload.end(), from, from + count);
                ++Reads;
                Deliver(session, DeviceFrame(MessageCode::MemoryRead, payload));
            } else if (code == 1 || code == 6) {
                const std::uint32_t index = ReadBE16(&frame[7]);
                const std::uint32_t total = ReadBE16(&frame[9]);
                if (index < total) {
                    Received[code].insert(Received[code].end(), frame.begin() + 11,
                                          frame.end() - 3);
                } else {
                    Trailers[code].assign(frame.begin() + 11, frame.end() - 3);
                }
                Deliver(session, AckFrame(index));
            }
        }
    }

    /// Hands one frame to the session as one receive notification.
    void Deliver(DeviceSession& session, const Bytes& frame) {
        host.Incoming.assign(frame.begin(), frame.end());
        session.VCPRxChar(static_cast<int>(frame.size()));
    }
    /// Leaves the frames written so far unanswered.
    void Skip() { answered = host.Written.size(); }

    ConfigImage Block{};
    int Reads = 0;
    std::map<std::uint8_t, Bytes> Received;  // image bytes per transfer kind
    std::map<std::uint8_t, Bytes> Trailers;

private:
    FakeHost& host;
    std::size_t answered = 0;
};

}  // namespace vyx::test
