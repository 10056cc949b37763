// A read fed with arbitrary memory-read replies and timer ticks, in any order:
// every reply must be handled within the block, without a crash or a hang.
// Input: a run of records, each one byte n then n payload bytes; n = 0xFF is a
// timer tick, n = 0xFE starts the read over.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "ConfigRead.h"
#include "FakeConfigHost.h"
#include "FakeHost.h"

namespace {

constexpr std::uint32_t Base = 0x00001000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    vyx::test::FakeHost host;
    vyx::test::FakeConfigHost editor;
    vyx::TransferProgress progress;
    int writes = 0;
    vyx::ConfigWrite write(
        host, editor,
        [&](std::span<const std::uint8_t>, const vyx::ConfigCheckValues&) { ++writes; });
    vyx::ConfigRead read(host, host, editor, progress, write, [] { return Base; });

    bool started = data[0] & 1;
    if (started) {
        read.B_GetConfigClick();
    }
    std::size_t at = 1;
    while (at < size) {
        const std::uint8_t n = data[at++];
        if (n == 0xFF) {
            read.Timer3Timer();
            continue;
        }
        if (n == 0xFE) {
            read.B_GetConfigClick();
            started = true;
            continue;
        }
        const std::size_t length = std::min<std::size_t>(n, size - at);
        read.HandleReply({data + at, length});
        at += length;
        host.Written.clear();
    }
    if (!started && (writes != 0 || !host.Lines.empty())) {
        __builtin_trap();  // replies before any read must change nothing
    }
    return 0;
}
