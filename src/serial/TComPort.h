#pragma once
// The serial port as the window uses it.

#include "TCustomComPort.h"

namespace vyx {

/// The port component the window owns (see TCustomComPort).
class TComPort : public TCustomComPort {
public:
    using TCustomComPort::TCustomComPort;
};

}  // namespace vyx
