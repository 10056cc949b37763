#pragma once
// The device logic's way to the serial port: whether it is open, and whole
// frames out, received bytes in. Bound to the real port in the session layer;
// tests implement a fake.
// Every call happens on the window thread.

#include <cstdint>
#include <span>

namespace vyx {

class PortIo {
public:
    virtual ~PortIo() = default;

    virtual bool PortOpen() const = 0;
    /// Writes one whole frame to the port.
    virtual void WritePort(std::span<const std::uint8_t> bytes) = 0;
    /// Reads up to `count` bytes from the port; returns how many were read.
    virtual int ReadPort(std::uint8_t* buffer, int count) = 0;
};

}  // namespace vyx
