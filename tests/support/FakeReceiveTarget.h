#pragma once
// Records what the receive dispatcher hands on, for tests and the frame fuzzer.

#include <cstdint>
#include <span>
#include <vector>

#include "ReceiveTarget.h"

namespace vyx::test {

class FakeReceiveTarget : public ReceiveTarget {
public:
    void Acknowledge(std::span<const std::uint8_t> payload) override {
        Acks.emplace_back(payload.begin(), payload.end());
    }
    void NegativeAcknowledge() override { ++Nacks; }
    void MemoryReadReply(std::span<const std::uint8_t> payload) override {
        Replies.emplace_back(payload.begin(), payload.end());
    }
    void DeviceIdentified(const DeviceIdentity&) override { ++Identities; }
    void OperatingModeNoticeGiven() override { ++Notices; }
    void StartFirmwareUpload() override { ++Uploads; }
    void StartConfigRead() override { ++Reads; }
    void TransferTick() override { ++Ticks; }

    std::vector<std::vector<std::uint8_t>> Acks;
    std::vector<std::vector<std::uint8_t>> Replies;
    int Nacks = 0;
    int Identities = 0;
    int Notices = 0;
    int Uploads = 0;
    int Reads = 0;
    int Ticks = 0;
};

}  // namespace vyx::test
