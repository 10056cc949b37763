#pragma once
// The device logic's port access bound to the tool's serial port.

#include "Cport.h"
#include "PortIo.h"

namespace vyx {

class ComPortIo : public PortIo {
public:
    explicit ComPortIo(TComPort& port) : port(port) {}

    bool PortOpen() const override { return port.Connected(); }
    void WritePort(std::span<const std::uint8_t> bytes) override;
    int ReadPort(std::uint8_t* buffer, int count) override;

private:
    TComPort& port;
};

}  // namespace vyx
