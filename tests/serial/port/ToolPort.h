#pragma once
// The port as the tool sets it up, and waiting for bytes the driver passes on.

#include <chrono>
#include <string>
#include <thread>

#include "Cport.h"

namespace vyx::test {

/// 3,686,400 bit/s, 4096-byte queues and the tool's time-outs.
inline void UseToolSettings(TCustomComPort& port, const std::string& path) {
    port.SetPort(path);
    port.SetBaudRate(brCustom);
    port.SetCustomBaudRate(3686400);
    port.Buffer().SetInputSize(4096);
    port.Buffer().SetOutputSize(4096);
    port.Timeouts().SetReadInterval(200);
    port.Timeouts().SetReadTotalMultiplier(100);
    port.Timeouts().SetReadTotalConstant(100);
    port.Timeouts().SetWriteTotalMultiplier(2);
    port.Timeouts().SetWriteTotalConstant(2);
}

/// Waits until `count` bytes are waiting: a pseudo-terminal passes bytes on
/// asynchronously. False after two seconds.
inline bool WaitForInput(TCustomComPort& port, std::int32_t count) {
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (port.InputCount() < count) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

}  // namespace vyx::test
