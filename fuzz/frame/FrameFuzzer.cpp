// Feeds arbitrary receive notifications to a whole device session (dispatcher,
// identification, package transfer, firmware upload, configuration read and
// write) behind a fake window. Input: a run of chunks, each one length byte and
// that many bytes; a length byte of 0 runs a Timer1 tick, 0x80 a Timer3 tick, and
// any other length with the top bit set wraps its chunk (code byte, then payload)
// into a frame with a right checksum, so the dispatch behind the checks is
// reached often.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "DeviceSession.h"
#include "FakeConfigHost.h"
#include "FakeHost.h"
#include "Frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vyx::test::FakeHost host;
    vyx::test::FakeConfigHost editor;
    vyx::DeviceSession session(host, host, editor, [] {});
    std::size_t at = 0;
    while (at < size) {
        const std::size_t head = data[at++];
        if (head == 0x00) {
            session.Timer1Timer();
            continue;
        }
        if (head == 0x80) {
            session.Timer3Timer();
            continue;
        }
        const bool wrap = (head & 0x80) != 0;
        const std::size_t length = head & 0x7F;
        const std::size_t take = length < size - at ? length : size - at;
        std::vector<std::uint8_t> bytes(data + at, data + at + take);
        at += take;
        if (wrap && !bytes.empty()) {
            const std::vector<std::uint8_t> payload(bytes.begin() + 1, bytes.end());
            bytes = vyx::EncodeFrameFrom(vyx::DeviceToTool, bytes[0], payload);
        }
        host.Incoming.assign(bytes.begin(), bytes.end());
        // Announce what the chunk claimed, which may be more than arrived.
        session.VCPRxChar(static_cast<int>(wrap ? bytes.size() : length));
        host.Written.clear();  // keep memory flat over long inputs
    }
    return 0;
}
