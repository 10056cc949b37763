#pragma once
// The Vyx's line settings that every door to it shares: the desktop port sets
// them through DevicePort, the browser page hands them to the browser's port.

#include <cstdint>

namespace vyx {

/// The device's line rate, bit/s; 8 data bits, no parity, 1 stop bit, no flow control.
inline constexpr std::int32_t DeviceBitRate = 3686400;

}  // namespace vyx
