#include "ComPortIo.h"

namespace vyx {

void ComPortIo::WritePort(std::span<const std::uint8_t> bytes) {
    port.Write(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

int ComPortIo::ReadPort(std::uint8_t* buffer, int count) {
    return port.Read(buffer, count);
}

}  // namespace vyx
