#pragma once
// Reads back the package frames the transfer engine wrote.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "FakeHost.h"
#include "Frame.h"

namespace vyx::test {

struct Package {
    std::uint8_t Kind = 0;
    std::uint32_t Id = 0;
    std::uint32_t Index = 0;
    std::uint32_t Count = 0;
    std::vector<std::uint8_t> Data;
};

inline Package ReadPackage(const std::vector<std::uint8_t>& frame) {
    Package p;
    EXPECT_GE(frame.size(), 14u);
    if (frame.size() < 14) {
        return p;
    }
    const std::size_t n = ReadBE16(&frame[3]);
    EXPECT_EQ(frame.size(), n + 8);
    EXPECT_EQ(frame[0], FrameStart);
    EXPECT_EQ(frame[1], ToolToDevice);
    EXPECT_EQ(FrameChecksum(frame.data(), n + 5), ReadBE24(&frame[n + 5]));
    p.Kind = frame[2];
    p.Id = ReadBE16(&frame[5]);
    p.Index = ReadBE16(&frame[7]);
    p.Count = ReadBE16(&frame[9]);
    p.Data.assign(frame.begin() + 11, frame.begin() + 5 + static_cast<std::ptrdiff_t>(n));
    return p;
}

inline std::vector<std::uint32_t> SentIndexes(const FakeHost& host) {
    std::vector<std::uint32_t> out;
    for (const auto& frame : host.Written) {
        out.push_back(ReadPackage(frame).Index);
    }
    return out;
}

inline std::vector<std::uint8_t> AckPayload(std::uint32_t index) {
    std::vector<std::uint8_t> p;
    AppendBE16(p, index);
    return p;
}

}  // namespace vyx::test
