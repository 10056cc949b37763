// Feeds arbitrary receive notifications to the dispatcher, with identification,
// the package transfer and the firmware upload wired behind it as the window
// has them. Input: a run of chunks, each one length byte and that many bytes;
// a length byte of 0 runs a Timer1 tick instead, and one with the top bit set
// wraps its chunk (code byte, then payload) into a frame with a right checksum,
// so that the dispatch behind the checks is reached often.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "FakeHost.h"
#include "FirmwareCommands.h"
#include "Frame.h"
#include "ReceiveDispatcher.h"
#include "TransferEngine.h"

namespace {

class Wiring : public vyx::ReceiveTarget {
public:
    Wiring()
        : dispatcher(host, progress, *this),
          engine(host, progress, dispatcher.Identification()),
          firmware(host, engine, dispatcher.Identification()) {}

    void Acknowledge(std::span<const std::uint8_t> payload) override {
        engine.Acknowledge(payload);
    }
    void NegativeAcknowledge() override { engine.NegativeAcknowledge(); }
    void MemoryReadReply(std::span<const std::uint8_t>) override {}
    void StartFirmwareUpload() override { firmware.B_FwTxClick(); }
    void StartConfigRead() override {
        progress.LastStarted = vyx::TransferProgress::Exchange::Read;
    }
    void TransferTick() override { engine.TickIfRunning(); }

    vyx::test::FakeHost host;
    vyx::TransferProgress progress;
    vyx::ReceiveDispatcher dispatcher;
    vyx::TransferEngine engine;
    vyx::FirmwareCommands firmware;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Wiring wiring;
    std::size_t at = 0;
    while (at < size) {
        const std::size_t head = data[at++];
        if (head == 0) {
            wiring.engine.Timer1Timer();
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
        wiring.host.Incoming.assign(bytes.begin(), bytes.end());
        // Announce what the chunk claimed, which may be more than arrived.
        wiring.dispatcher.VCPRxChar(static_cast<int>(wrap ? bytes.size() : length));
        wiring.host.Written.clear();  // keep memory flat over long inputs
    }
    return 0;
}
