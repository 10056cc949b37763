#pragma once
// A whole configuration block as a test expects to find it on the device: the
// leading bytes it spells out (header, fields and sum), then FF up to 2,032.

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace vyx::test {

inline std::vector<std::uint8_t> BlockRecord(std::initializer_list<std::uint8_t> head) {
    std::vector<std::uint8_t> block(head);
    block.resize(2032, 0xFF);
    return block;
}

}  // namespace vyx::test
