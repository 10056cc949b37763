#pragma once
// The one exception the serial port throws.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vyx {

/// Numbers of the port's failures (the value of EComPort::ErrorNumber), each with
/// what failed and when it is thrown. Every thrower carries a system code
/// (SystemCode) unless said otherwise; a call on a closed port carries the
/// platform's "not open" code (EBADF on Linux, ERROR_INVALID_HANDLE on Windows). Numbers no thrower
/// uses keep their place so the numbering, and every log that shows it, stays fixed.
enum ComErrorNumber : std::int32_t {
    /// Open: the device could not be opened, locked or set up as a terminal
    /// (also an Open while the previous close is still finishing: EBUSY,
    /// ERROR_BUSY).
    ComErrorOpen = 1,
    /// Write: the port is closed, or the device refused bytes or the wait for
    /// room in its transmit queue failed.
    ComErrorWrite = 2,
    /// Read: the port is closed, or the device or the wait for bytes failed.
    ComErrorRead = 3,
    /// Not thrown: kept for its place.
    ComErrorInvalidAsync = 4,
    /// ClearBuffer and Close: discarding the receive or transmit queue failed
    /// (a device already gone is not a failure on Close).
    ComErrorPurge = 5,
    /// Not thrown: kept for its place.
    ComErrorAsyncStatus = 6,
    /// Open, or a setting changed while open: the bit rate, data bits, parity,
    /// stop bits or flow control were refused, the device did not take the rate
    /// asked (read back), or the DTR and RTS lines could not be set.
    ComErrorLineSettings = 7,
    /// Open, or a time-out changed while open (Windows): the device refused the
    /// read and write time-outs.
    ComErrorTimeouts = 8,
    /// Open, or a buffer size changed while open (Windows): the driver refused
    /// the receive and transmit queue sizes.
    ComErrorQueueSizes = 9,
    /// InputCount: the port is closed or the driver's count of waiting bytes failed.
    ComErrorQueueQuery = 10,
    /// CheckModemStatus: the port is closed or the modem lines could not be read
    /// (a port without modem lines, such as a pseudo-terminal, is no failure).
    ComErrorModemStatus = 11,
    /// Not thrown: kept for its place.
    ComErrorLineFunction = 12,
    /// Not thrown: kept for its place.
    ComErrorTransmitChar = 13,
    /// A setting that cannot change on an open port (the sync method) was
    /// changed while connected; no system code.
    ComErrorChangeWhileOpen = 14,
    /// Not thrown: kept for its place (the port list is ComErrorPortList).
    ComErrorEnumPorts = 15,
    /// Not thrown: kept for its place.
    ComErrorStoreSettings = 16,
    /// Not thrown: kept for its place.
    ComErrorLoadSettings = 17,
    /// Not thrown: kept for its place.
    ComErrorLinkRegistration = 18,
    /// Not thrown: kept for its place.
    ComErrorLedState = 19,
    /// Not thrown: kept for its place.
    ComErrorThreadRunning = 20,
    /// Not thrown: kept for its place.
    ComErrorWaitForEvent = 21,
    /// Not thrown: kept for its place.
    ComErrorRxBufLinked = 22,
    /// EnumComPorts: the system's list of serial devices could not be read (the
    /// sysfs folder on Linux, the registry key on Windows).
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
