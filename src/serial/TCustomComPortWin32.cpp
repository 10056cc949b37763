// The port's system side on Windows: a communications device opened by port name
// for overlapped transfers, set up through the device control block and the
// time-out record.
#include <algorithm>

#include "CommControl.h"
#include "SystemCodes.h"
#include "TCustomComPort.h"

namespace vyx {

namespace {

// How long past its own time-out a write may take before it is cut off here: a
// driver that does not apply the write time-out (Wine on a pseudo-terminal whose
// other end stopped reading) must not hold the window thread for ever.
constexpr DWORD WriteGraceMs = 1000;

// Queue sizes that SetupComm takes; the driver may round them.
DWORD QueueSize(std::int32_t size) {
    return size > 0 ? static_cast<DWORD>(size) : 0;
}

// The driver reads back the rate it runs at; one that rounds a rate it cannot
// make exactly stays within 3 %, one that put another rate in its place does not.
bool RateTaken(DWORD asked, DWORD got) {
    const std::int64_t difference = static_cast<std::int64_t>(asked) - got;
    return std::max(difference, -difference) * 100 <= static_cast<std::int64_t>(asked) * 3;
}

// Codes with which a device without modem lines (a pseudo-terminal under Wine)
// answers the status query: not an error, as on POSIX systems.
bool NoModemLines(DWORD code) {
    return code == 0 || code == ERROR_NOT_SUPPORTED || code == ERROR_INVALID_PARAMETER ||
           code == ERROR_INVALID_FUNCTION;
}

}  // namespace

ComHandle TCustomComPort::OpenDevice() {
    // The name ends at its first zero byte; a name that is already a device path
    // (\\.\COM5) is taken as it is.
    const std::string name = port.substr(0, port.find('\0'));
    const std::string path = name.rfind("\\\\", 0) == 0 ? name : "\\\\.\\" + name;
    const HANDLE device = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        throw EComPort(ComErrorOpen, static_cast<std::int32_t>(::GetLastError()));
    }
    return reinterpret_cast<ComHandle>(device);
}

void TCustomComPort::StartEventThread() {
    // The thread is the port's only reader of the device (one overlapped wait
    // per handle), so it runs even when no event is to be reported.
    eventThread = std::make_unique<TComThread>(*this, events);
    threadCreated = true;
}

void TCustomComPort::DiscardPendingOutput() {
    if (::PurgeComm(comm::Handle(handle), PURGE_TXABORT | PURGE_TXCLEAR)) {
        return;
    }
    const int code = static_cast<int>(::GetLastError());
    if (!DeviceGone(code) && !receiveQueue.HungUp()) {
        throw EComPort(ComErrorPurge, code);
    }
}

void TCustomComPort::ReleaseHandle() {
    ::CloseHandle(comm::Handle(handle));
}

std::int32_t TCustomComPort::Write(const void* buffer, std::int32_t count) {
    if (!connected) {
        throw EComPort(ComErrorWrite, ClosedPortCode());
    }
    if (count <= 0) {
        return 0;
    }
    const auto limit = timeouts.WriteLimitFor(count);
    const DWORD waitMs =
        limit ? static_cast<DWORD>(std::min<std::int64_t>(limit->count() + WriteGraceMs, 1 << 30))
              : INFINITE;
    const HANDLE device = comm::Handle(handle);
    comm::OverlappedIo io;
    const BOOL started =
        ::WriteFile(device, buffer, static_cast<DWORD>(count), nullptr, io.Start());
    const comm::IoOutcome outcome = comm::Finish(device, io, started, nullptr, waitMs);
    if (outcome.kind == comm::IoOutcome::Failed && outcome.code != ERROR_OPERATION_ABORTED) {
        throw EComPort(ComErrorWrite, static_cast<std::int32_t>(outcome.code));
    }
    return static_cast<std::int32_t>(outcome.bytes);
}

void TCustomComPort::CheckModemStatus() {
    if (!connected) {
        throw EComPort(ComErrorModemStatus, ClosedPortCode());
    }
    DWORD lines = 0;
    ::SetLastError(0);
    if (::GetCommModemStatus(comm::Handle(handle), &lines)) {
        return;
    }
    const DWORD code = ::GetLastError();
    if (!NoModemLines(code) && !receiveQueue.HungUp()) {
        throw EComPort(ComErrorModemStatus, static_cast<std::int32_t>(code));
    }
}

void TCustomComPort::ApplyBuffer() {
    if (!connected || loading) {
        return;
    }
    receiveQueue.SetCapacity(QueueSize(buffer.InputSize()));
    if (!::SetupComm(comm::Handle(handle), QueueSize(buffer.InputSize()),
                     QueueSize(buffer.OutputSize()))) {
        throw EComPort(ComErrorQueueSizes, static_cast<std::int32_t>(::GetLastError()));
    }
}

void TCustomComPort::ApplyDCB() {
    if (!connected || loading) {
        return;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate =
        static_cast<DWORD>(baudRate == brCustom ? customBaudRate : BaudRateValue(baudRate));
    dcb.fBinary = TRUE;
    dcb.fParity = parity.Check();
    dcb.fErrorChar = parity.Check() && parity.Replace();
    dcb.ErrorChar = static_cast<char>(parity.ReplaceChar());
    dcb.fOutxCtsFlow = flowControl.OutCTSFlow();
    dcb.fOutxDsrFlow = flowControl.OutDSRFlow();
    dcb.fDtrControl = static_cast<DWORD>(flowControl.ControlDTR());
    dcb.fRtsControl = static_cast<DWORD>(flowControl.ControlRTS());
    dcb.fOutX = flowControl.XonXoffOut();
    dcb.fInX = flowControl.XonXoffIn();
    dcb.fDsrSensitivity = flowControl.DSRSensitivity();
    dcb.fTXContinueOnXoff = flowControl.TxContinueOnXoff();
    dcb.fNull = discardNull;
    dcb.fAbortOnError = FALSE;
    const std::int32_t limit = std::max<std::int32_t>(buffer.InputSize() / 4, 0);
    dcb.XonLim = static_cast<WORD>(std::min<std::int32_t>(limit, 0xFFFF));
    dcb.XoffLim = dcb.XonLim;
    dcb.ByteSize = static_cast<BYTE>(5 + static_cast<int>(dataBits));
    dcb.Parity = static_cast<BYTE>(parity.Bits());
    dcb.StopBits = static_cast<BYTE>(stopBits);
    dcb.XonChar = static_cast<char>(flowControl.XonChar());
    dcb.XoffChar = static_cast<char>(flowControl.XoffChar());
    dcb.EvtChar = static_cast<char>(eventChar);
    const HANDLE device = comm::Handle(handle);
    if (!::SetCommState(device, &dcb)) {
        throw EComPort(ComErrorLineSettings, static_cast<std::int32_t>(::GetLastError()));
    }
    // Some drivers accept a rate they cannot make and run at another one (Wine
    // puts 38,400 bit/s in place of 3,686,400 on a pseudo-terminal): that is a
    // refusal, as the device would never understand the tool.
    DCB back{};
    back.DCBlength = sizeof back;
    if (!::GetCommState(device, &back)) {
        throw EComPort(ComErrorLineSettings, static_cast<std::int32_t>(::GetLastError()));
    }
    if (!RateTaken(dcb.BaudRate, back.BaudRate)) {
        throw EComPort(ComErrorLineSettings, ERROR_INVALID_PARAMETER);
    }
    receiveQueue.SetEventChar(eventChar);
}

void TCustomComPort::ApplyTimeouts() {
    if (!connected || loading) {
        return;
    }
    // The event thread's reads return at once with what the driver holds (it
    // waits for bytes with a line-event wait); the port's read time-outs are
    // applied by Read to the receive buffer. The write time-outs go to the driver.
    COMMTIMEOUTS record{};
    record.ReadIntervalTimeout = MAXDWORD;
    record.WriteTotalTimeoutMultiplier = static_cast<DWORD>(timeouts.WriteTotalMultiplier());
    record.WriteTotalTimeoutConstant = static_cast<DWORD>(timeouts.WriteTotalConstant());
    if (!::SetCommTimeouts(comm::Handle(handle), &record)) {
        throw EComPort(ComErrorTimeouts, static_cast<std::int32_t>(::GetLastError()));
    }
}

void ReleaseEveryPortNow() {
    // The system closes a process's handles as it ends, and a closed handle
    // leaves nothing behind: nothing to do ahead of it.
}

}  // namespace vyx
