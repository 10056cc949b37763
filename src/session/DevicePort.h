#pragma once
// How the tool sets up its serial port for the Vyx: the device's custom bit
// rate, 8N1 without any flow control (DTR and RTS held inactive), 4 KiB driver
// queues, the read and write time-outs, and the frame-complete hint that lets
// the port hand over whole frames.

#include <cstdint>

#include "Cport.h"
#include "DeviceLine.h"

namespace vyx {

class DevicePort {
public:
    /// Applies every setting, the bit rate included, except the port name and
    /// the receive handler.
    static void Configure(TComPort& port);
};

}  // namespace vyx
