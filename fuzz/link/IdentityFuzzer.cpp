// Any run of Identity payloads a device could send: decoding and identification
// must end with a defined result, list a device at most once per frame and ask
// for at most one follow-up (upload or read) per frame.
// Input: a run of records, each one length byte n then n payload bytes; n = 0xFF
// clears the ID list, n = 0xFE opens the port anew.

#include <cstddef>
#include <cstdint>
#include <span>

#include "DeviceIdentification.h"
#include "DeviceIdentity.h"
#include "FakeHost.h"
#include "FakeReceiveTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vyx::test::FakeHost host;
    vyx::test::FakeReceiveTarget target;
    vyx::DeviceIdentification identification(host, target);
    std::size_t at = 0;
    while (at < size) {
        const std::size_t head = data[at++];
        if (head == 0xFF) {
            identification.ClearIdList();
            if (identification.ListedCount() != 0) {
                __builtin_trap();
            }
            continue;
        }
        if (head == 0xFE) {
            identification.ResetIdentityHandled();
            continue;
        }
        const std::size_t take = head < size - at ? head : size - at;
        const std::span<const std::uint8_t> payload(data + at, take);
        at += take;

        const auto decoded = vyx::DecodeIdentity(payload);
        if (decoded.has_value() != (payload.size() >= vyx::IdentityPayloadSize)) {
            __builtin_trap();
        }
        const std::uint32_t listedBefore = identification.ListedCount();
        const int followUpsBefore = target.Uploads + target.Reads;
        identification.HandleIdentity(payload);
        if (identification.ListedCount() - listedBefore > 1 ||
            target.Uploads + target.Reads - followUpsBefore > 1) {
            __builtin_trap();
        }
        if (decoded && identification.ListedCount() != listedBefore &&
            !vyx::IsListedRelease(decoded->Version)) {
            __builtin_trap();
        }
        host.Lines.clear();  // keep memory flat over long inputs
    }
    return 0;
}
