#pragma once
// The port's queue sizes.

#include <cstdint>

namespace vyx {

class TCustomComPort;

/// Sizes of the receive and transmit queues in bytes. Sizes are kept even: a
/// positive odd value is stored one less (4097 becomes 4096).
///
/// The terminal driver's own queues have fixed sizes; InputSize is the least that
/// the port's own receive buffer holds before it leaves further bytes with the
/// driver (nothing is dropped either way).
class TComBuffer {
public:
    explicit TComBuffer(TCustomComPort& port) : port(port) {}

    std::int32_t InputSize() const { return inputSize; }
    void SetInputSize(std::int32_t value);
    std::int32_t OutputSize() const { return outputSize; }
    void SetOutputSize(std::int32_t value);

private:
    TCustomComPort& port;
    std::int32_t inputSize = 1024;
    std::int32_t outputSize = 1024;
};

}  // namespace vyx
