#pragma once
// The one exception the serial port throws.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vyx {

/// Numbers of the port's failures (the value of EComPort::ErrorNumber). Numbers
/// without a thrower on this platform keep their place so the numbering stays fixed.
enum ComErrorNumber : std::int32_t {
    ComErrorOpen = 1,
    ComErrorWrite = 2,
    ComErrorRead = 3,
    ComErrorInvalidAsync = 4,
    ComErrorPurge = 5,
    ComErrorAsyncStatus = 6,
    ComErrorLineSettings = 7,
    ComErrorTimeouts = 8,
    ComErrorQueueSizes = 9,
    ComErrorQueueQuery = 10,
    ComErrorModemStatus = 11,
    ComErrorLineFunction = 12,
    ComErrorTransmitChar = 13,
    ComErrorChangeWhileOpen = 14,
    ComErrorEnumPorts = 15,
    ComErrorStoreSettings = 16,
    ComErrorLoadSettings = 17,
    ComErrorLinkRegistration = 18,
    ComErrorLedState = 19,
    ComErrorThreadRunning = 20,
    ComErrorWaitForEvent = 21,
    ComErrorRxBufLinked = 22,
    ComErrorPortList = 23,
};

/// A failed port operation. `ErrorNumber` is a ComErrorNumber; `SystemCode` is the
/// code the failed system call left (errno on POSIX systems, the last-error value
/// on Windows), or -1 when no system call failed. The message is
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
