#pragma once
// The terminal controls the port needs on Linux, behind a narrow contract of
// plain values: the kernel's own termios2 (any bit rate) and serial ioctls, which
// other POSIX systems do not have. Every function returns 0 on success or the
// errno of the failed call. The codes the shared code decides on (SystemCodes.h)
// are defined beside them.

#include <cstdint>

#include "ComTypes.h"

namespace vyx {

/// The line settings as the terminal driver takes them.
struct TtyLineSettings {
    std::int32_t baudRate = 9600;
    int dataBits = 8;  // 5 to 8
    TStopBits stopBits = sbOneStopBit;
    TParityBits parity = prNone;
    bool parityCheck = false;    // check parity of received bytes
    bool replaceErrors = false;  // with parityCheck: deliver bad bytes as 0 rather than as received
    bool hardwareFlow = false;   // CTS/RTS handshake
    bool xonXoffOut = false;
    bool xonXoffIn = false;
    std::uint8_t xonChar = 17;
    std::uint8_t xoffChar = 19;
};

namespace tty {

/// 0 when `fd` is a terminal (its settings can be read), else the errno (ENOTTY).
int CheckTerminal(int fd);
/// How many ports one process may hold at once; Hold refuses more with ENFILE.
inline constexpr int HeldPortLimit = 256;

/// Takes the port for this process: remembers its line settings as found, then
/// refuses further opens of the device by other processes.
int Hold(int fd);
/// Gives a held port back as it was found: the remembered line settings, and
/// other processes may open it again (a pseudo-terminal keeps its exclusive mode
/// after the last close, so without this nobody but root could reopen it). Goes
/// on past a failed step; returns the first failure.
int LetGo(int fd);
/// LetGo for every port still held, for a process that ends at once (a second
/// interruption, a crash). Async-signal-safe: system calls only.
void LetGoOfEveryPort();
/// 0 unless the serial driver says no UART is behind the device (a legacy port
/// the kernel lists without hardware): then ENXIO.
int CheckUart(int fd);
/// Raw mode with `settings`, any bit rate, HUPCL off, reads that wait for at least
/// one byte (so a nonblocking read of 0 means a hang-up). Reads the result back and
/// fails with EINVAL when the driver did not take the rate.
int ApplyLineSettings(int fd, const TtyLineSettings& settings);
/// Raises or drops DTR and RTS. A line the device does not have (a pseudo-terminal
/// has none) is not an error.
int SetModemLines(int fd, bool dtr, bool rts);
/// Reads the modem status lines; a device without them reads as success.
int CheckModemStatus(int fd);
/// Discards what the driver holds for reading and/or writing.
int Flush(int fd, bool input, bool output);
/// Number of received bytes the driver holds.
int QueuedInput(int fd, int& count);

}  // namespace tty
}  // namespace vyx
