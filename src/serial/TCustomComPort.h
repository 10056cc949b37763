#pragma once
// The serial port: settings, open and close, reads and writes with time-outs, and
// the received-bytes notification.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ComReceiveQueue.h"
#include "ComTypes.h"
#include "EComPort.h"
#include "TComBuffer.h"
#include "TComFlowControl.h"
#include "TComParity.h"
#include "TComThread.h"
#include "TComTimeouts.h"

namespace vyx {

/// The groups of settings that are applied to the device together.
enum class ComGroup { Line, Timeouts, Buffer };

/// One serial port. Everything here is called on the window thread; the port's
/// event thread calls OnRxChar there too.
///
/// `Port` names the device: on POSIX systems a device path (a name without '/' is
/// taken from /dev), on Windows a port name such as "COM5". Open takes the device
/// exclusively; the settings go to it at open and, while it is open, each time
/// one changes (the setter rule: a setter given the stored value does nothing;
/// otherwise it stores the value and re-applies its group to an open port,
/// throwing the group's error after storing). Every failure throws EComPort.
///
/// The port must not be destroyed from inside its own OnRxChar handler.
class TCustomComPort {
public:
    /// Received-bytes notification: the port and the number of bytes waiting (> 0).
    using TRxCharEvent = std::function<void(TCustomComPort& sender, std::int32_t count)>;
    /// Hang-up notification: the port whose device went away.
    using THangUpEvent = std::function<void(TCustomComPort& sender)>;

    TCustomComPort();
    virtual ~TCustomComPort();
    TCustomComPort(const TCustomComPort&) = delete;
    TCustomComPort& operator=(const TCustomComPort&) = delete;

    // Settings (defaults: "COM1", br9600, 9600, dbEight, sbOneStopBit, no
    // DiscardNull, EventChar 0, all ten events, smThreadSync). Line settings
    // refused by an open device throw ComErrorLineSettings.
    const std::string& Port() const { return port; }
    /// Changing the name of an open port closes it and opens it under the new name.
    void SetPort(const std::string& value);
    TBaudRate BaudRate() const { return baudRate; }
    void SetBaudRate(TBaudRate value) { StoreAndApply(baudRate, value, ComGroup::Line); }
    /// The rate in bit/s used when BaudRate is brCustom. A driver that does not
    /// take the rate (reads back another one) is a refusal: ComErrorLineSettings.
    std::int32_t CustomBaudRate() const { return customBaudRate; }
    void SetCustomBaudRate(std::int32_t value) {
        StoreAndApply(customBaudRate, value, ComGroup::Line);
    }
    TDataBits DataBits() const { return dataBits; }
    void SetDataBits(TDataBits value) { StoreAndApply(dataBits, value, ComGroup::Line); }
    TStopBits StopBits() const { return stopBits; }
    void SetStopBits(TStopBits value) { StoreAndApply(stopBits, value, ComGroup::Line); }
    /// Kept as a value on POSIX systems: the terminal driver cannot strip zero bytes.
    bool DiscardNull() const { return discardNull; }
    void SetDiscardNull(bool value) { StoreAndApply(discardNull, value, ComGroup::Line); }
    /// Receiving this byte adds evRxFlag to the batch.
    std::uint8_t EventChar() const { return eventChar; }
    void SetEventChar(std::uint8_t value) { StoreAndApply(eventChar, value, ComGroup::Line); }
    /// The events the event thread reports; empty: no notifications. Takes effect at Open.
    TComEvents Events() const { return events; }
    void SetEvents(TComEvents value) { events = value; }
    TSyncMethod SyncMethod() const { return syncMethod; }
    /// Throws ComErrorChangeWhileOpen (keeping the old value) while the port is open.
    void SetSyncMethod(TSyncMethod value);

    TComParity& Parity() { return parity; }
    TComFlowControl& FlowControl() { return flowControl; }
    TComTimeouts& Timeouts() { return timeouts; }
    TComBuffer& Buffer() { return buffer; }

    /// Called on the window thread with the number of bytes waiting.
    TRxCharEvent OnRxChar;
    /// Called once per opening, on the window thread, when the device hangs up
    /// while the port is open (cable pulled, device gone), after the bytes that
    /// came before it were reported; not after a close has begun. The port stays
    /// open until closed: reads fail once those bytes are read, writes fail. The
    /// handler may close the port (as OnRxChar may).
    THangUpEvent OnHangUp;

    /// Installs the link layer's frame-complete hint: given the received bytes not
    /// yet read, it returns whether they hold whole messages (true also for bytes
    /// that cannot start a message). It runs on the event thread, under the
    /// receive lock: it must only look at the bytes. Without a hint every arrival
    /// is reported at once.
    void SetFrameCompleteHint(FrameCompleteHint hint);

    /// Whether the port is open.
    bool Connected() const { return connected; }
    /// Opens (true) or closes (false) the port; nothing when already so. While the
    /// layout loads, only records the value (see Loaded).
    void SetConnected(bool value);

    /// Opens the device and applies the settings. Errors: ComErrorOpen (cannot
    /// open, taken by another, not a serial device), ComErrorQueueSizes,
    /// ComErrorLineSettings or ComErrorTimeouts (settings refused; the port stays
    /// closed), ComErrorModemStatus (the port stays open).
    void Open();
    /// Discards pending output, stops the event thread (running a batch it had
    /// already queued) and closes the device. Called from inside the port's own
    /// receive handler, the port is closed at once and its event thread is joined
    /// once the handler has returned. ComErrorPurge leaves the port open.
    void Close();

    /// Reads up to `count` bytes, waiting as the time-outs say; returns how many
    /// arrived (a time-out is not an error). ComErrorRead: on a closed port, or
    /// after a hang-up once the bytes received before it are read.
    std::int32_t Read(void* buffer, std::int32_t count);
    /// Writes `count` bytes, cut off after the write time-out; returns how many were
    /// written. ComErrorWrite: on a closed port, or after a hang-up.
    std::int32_t Write(const void* buffer, std::int32_t count);
    /// Discards received bytes (input) and/or bytes not yet sent (output). ComErrorPurge.
    void ClearBuffer(bool input, bool output);
    /// Number of received bytes waiting to be read. ComErrorQueueQuery.
    std::int32_t InputCount();

    /// Layout loading: while loading, setters only store and SetConnected only
    /// records; Loaded() then opens the port if true was recorded. An error of that
    /// open goes to `report` (when given) and does not propagate.
    void BeginLoading() { loading = true; }
    void Loaded(const std::function<void(const EComPort&)>& report = {});
    bool Loading() const { return loading; }

    /// The event thread of the current opening (null when none).
    const TComThread* EventThread() const { return eventThread.get(); }
    /// Counts the openings: tells a new opening from the one a notification was for.
    std::uint64_t Opening() const { return openings; }

private:
    // The settings objects apply their group through the setter rule; the event
    // thread runs the notification and reads the receive queue.
    friend class TComParity;
    friend class TComFlowControl;
    friend class TComTimeouts;
    friend class TComBuffer;
    friend class TComThread;
    friend class ComReceivePass;

    /// The setter rule.
    template <class T>
    void StoreAndApply(T& field, T value, ComGroup group) {
        if (field == value) {
            return;
        }
        field = value;
        ApplyGroup(group);
    }
    void ApplyGroup(ComGroup group);
    /// Applies queue sizes, line settings and time-outs, in that order, to an open port.
    void SetupComPort();
    void ApplyBuffer();
    void ApplyDCB();
    void ApplyTimeouts();

    /// Takes the count of waiting bytes and, when it is above 0, calls DoRxChar.
    void CallRxChar();
    void DoRxChar(std::int32_t count);
    /// Calls OnHangUp unless a close has begun.
    void CallHangUp();
    /// Reads the modem status lines. ComErrorModemStatus.
    void CheckModemStatus();
    ComReceiveQueue& ReceiveQueue() { return receiveQueue; }
    /// Joins the event threads left by a close from inside their handler.
    void ReapRetiredThreads();

    // The system side, one unit per platform.
    /// Opens the device named by Port(); returns the handle or throws ComErrorOpen.
    ComHandle OpenDevice();
    /// Starts the event thread of a new opening, if it is to have one.
    void StartEventThread();
    /// Aborts transfers in progress and discards pending output before a close:
    /// a device that stopped reading would otherwise hold the close. ComErrorPurge
    /// (not when the device is gone).
    void DiscardPendingOutput();
    /// Gives the handle back to the system.
    void ReleaseHandle();
    /// Stops the event thread, lets the device go and marks the port closed.
    void CloseDevice();

    std::string port = "COM1";
    TBaudRate baudRate = br9600;
    std::int32_t customBaudRate = 9600;
    TDataBits dataBits = dbEight;
    TStopBits stopBits = sbOneStopBit;
    bool discardNull = false;
    std::uint8_t eventChar = 0;
    TComEvents events = TComEvents::All();
    TSyncMethod syncMethod = smThreadSync;
    TComParity parity{*this};
    TComFlowControl flowControl{*this};
    TComTimeouts timeouts{*this};
    TComBuffer buffer{*this};

    ComHandle handle = NoComHandle;
    bool connected = false;
    bool loading = false;
    bool connectRecorded = false;
    bool closing = false;
    bool threadCreated = false;
    bool ownerWaits = false;  // a ComReceivePass serves the notifications: no event thread
    std::uint64_t openings = 0;
    ComReceiveQueue receiveQueue;
    std::unique_ptr<TComThread> eventThread;
    std::vector<std::unique_ptr<TComThread>> retiredThreads;  // closed from inside their handler
};

/// Gives every port the process holds back as it was found (line settings, others
/// may open it), without closing anything: for a process that ends at once, from
/// a signal handler or a crash. Async-signal-safe.
void ReleaseEveryPortNow();

}  // namespace vyx
