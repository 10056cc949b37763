#pragma once
// The one exception the serial port throws.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vyx {

/// Numbers of the port's failures (the value of EComPort::ErrorNumber). Numbers
/// without a thrower on this platform keep their place so the numbering stays fixed.
enum ComErrorNumber : std::int32_t {
    CError_OpenFailed = 1,
    CError_WriteFailed = 2,
    CError_ReadFailed = 3,
    CError_InvalidAsync = 4,
    CError_PurgeFailed = 5,
    CError_AsyncCheck = 6,
    CError_SetStateFailed = 7,
    CError_TimeoutsFailed = 8,
    CError_SetupComFailed = 9,
    CError_ClearComFailed = 10,
    CError_ModemStatFailed = 11,
    CError_EscapeComFailed = 12,
    CError_TransmitFailed = 13,
    CError_ConnChangeProp = 14,
    CError_EnumPortsFailed = 15,
    CError_StoreFailed = 16,
    CError_LoadFailed = 17,
    CError_RegFailed = 18,
    CError_LedStateFailed = 19,
    CError_ThreadCreated = 20,
    CError_WaitFailed = 21,
    CError_HasLink = 22,
    CError_RegError = 23,
};

/// A failed port operation. `ErrorNumber` is 1 to 23; `SystemCode` is the errno
/// of the failed system call, or -1 when no system call failed. The message is
/// the English table text, followed by " (win error code: N)" when a system code
/// is carried (the suffix keeps its wording so logs read the same everywhere).
class EComPort : public std::runtime_error {
public:
    /// Failure without a system code (SystemCode = -1).
    explicit EComPort(std::int32_t errorNumber);
    EComPort(std::int32_t errorNumber, std::int32_t systemCode);

    std::int32_t ErrorNumber;
    std::int32_t SystemCode;
};

/// The table text of an error number ("" outside 1..23).
const char* ComErrorText(std::int32_t errorNumber);

}  // namespace vyx
