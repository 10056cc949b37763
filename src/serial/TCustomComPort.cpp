#include "TCustomComPort.h"

#include <system_error>

#include "SystemCodes.h"

namespace vyx {

TCustomComPort::TCustomComPort() = default;

TCustomComPort::~TCustomComPort() {
    try {
        Close();
    } catch (const EComPort&) {
        // Closing at exit: the device is let go of whatever it says.
        CloseDevice();
    }
    ReapRetiredThreads();
}

void TCustomComPort::SetPort(const std::string& value) {
    if (value == port) {
        return;
    }
    port = value;
    if (connected && !loading) {
        Close();
        Open();
    }
}

void TCustomComPort::SetSyncMethod(TSyncMethod value) {
    if (value == syncMethod) {
        return;
    }
    if (connected) {
        throw EComPort(ComErrorChangeWhileOpen);
    }
    syncMethod = value;
}

void TCustomComPort::SetFrameCompleteHint(FrameCompleteHint hint) {
    receiveQueue.SetHint(std::move(hint));
}

void TCustomComPort::SetConnected(bool value) {
    if (loading) {
        connectRecorded = value;
        return;
    }
    if (value == connected) {
        return;
    }
    if (value) {
        Open();
    } else {
        Close();
    }
}

void TCustomComPort::Loaded(const std::function<void(const EComPort&)>& report) {
    loading = false;
    if (!connectRecorded) {
        return;
    }
    connectRecorded = false;
    try {
        Open();
    } catch (const EComPort& e) {
        if (report) {
            report(e);
        }
    }
}

void TCustomComPort::Open() {
    if (connected) {
        return;
    }
    if (closing) {
        // Reopening from a handler run by the close that is still in progress.
        throw EComPort(ComErrorOpen, PortBusyCode());
    }
    handle = OpenDevice();
    connected = true;
    ++openings;
    receiveQueue.Attach(handle);
    try {
        SetupComPort();
        if (!ownerWaits) {
            StartEventThread();
        }
    } catch (const std::system_error& e) {
        CloseDevice();
        throw EComPort(ComErrorOpen, e.code().value());
    } catch (...) {
        CloseDevice();
        throw;
    }
    CheckModemStatus();
}

void TCustomComPort::Close() {
    if (!connected || closing) {
        return;
    }
    // Received bytes stay for a batch that is already on its way.
    DiscardPendingOutput();
    closing = true;
    if (eventThread) {
        eventThread->Stop();
        if (eventThread->Dispatching()) {
            // Closed from inside this port's receive handler (or an event loop it
            // runs): the event thread waits for that handler, so waiting for the
            // thread here would never end. It is stopped, touches the device no
            // more once released, and is joined after the handler has returned.
            retiredThreads.push_back(std::move(eventThread));
        } else {
            eventThread->WaitFor();
            eventThread.reset();
        }
    }
    CloseDevice();
    closing = false;
}

void TCustomComPort::CloseDevice() {
    if (eventThread) {
        eventThread->Stop();
        eventThread->WaitFor();
        eventThread.reset();
    }
    receiveQueue.Detach();
    if (handle != NoComHandle) {
        ReleaseHandle();
    }
    handle = NoComHandle;
    connected = false;
    threadCreated = false;
}

void TCustomComPort::ReapRetiredThreads() {
    // A thread whose batch is still running further up the stack waits for a later call.
    std::erase_if(retiredThreads, [](const std::unique_ptr<TComThread>& thread) {
        if (thread->Dispatching()) {
            return false;
        }
        thread->WaitFor();
        return true;
    });
}

std::int32_t TCustomComPort::Read(void* buffer, std::int32_t count) {
    if (!connected) {
        throw EComPort(ComErrorRead, ClosedPortCode());
    }
    const ComReceiveQueue::ReadResult result =
        receiveQueue.Read(static_cast<std::uint8_t*>(buffer), count, timeouts.ReadLimitsFor(count));
    if (result.error != 0) {
        throw EComPort(ComErrorRead, result.error);
    }
    return result.count;
}

void TCustomComPort::ClearBuffer(bool input, bool output) {
    if (!connected) {
        throw EComPort(ComErrorPurge, ClosedPortCode());
    }
    if (int code = receiveQueue.Clear(input, output)) {
        throw EComPort(ComErrorPurge, code);
    }
}

std::int32_t TCustomComPort::InputCount() {
    if (!connected) {
        throw EComPort(ComErrorQueueQuery, ClosedPortCode());
    }
    std::int32_t count = 0;
    if (int code = receiveQueue.Count(count)) {
        throw EComPort(ComErrorQueueQuery, code);
    }
    return count;
}

void TCustomComPort::CallRxChar() {
    const std::int32_t count = InputCount();
    if (count > 0) {
        DoRxChar(count);
    }
}

void TCustomComPort::DoRxChar(std::int32_t count) {
    if (OnRxChar) {
        OnRxChar(*this, count);
    }
}

void TCustomComPort::CallHangUp() {
    // A close under way (the user's) has already said what happens to the port.
    if (!closing && OnHangUp) {
        OnHangUp(*this);
    }
}

void TCustomComPort::ApplyGroup(ComGroup group) {
    switch (group) {
        case ComGroup::Line:
            ApplyDCB();
            break;
        case ComGroup::Timeouts:
            ApplyTimeouts();
            break;
        case ComGroup::Buffer:
            ApplyBuffer();
            break;
    }
}

void TCustomComPort::SetupComPort() {
    ApplyBuffer();
    ApplyDCB();
    ApplyTimeouts();
}

}  // namespace vyx
