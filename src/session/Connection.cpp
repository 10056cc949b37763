#include "Connection.h"

#include <utility>

namespace vyx {

Connection::Connection(TComPort& port, LinkHost& ui, ConnectionView& view,
                       std::function<void()> opened, std::function<void()> lost,
                       std::function<void(bool timed)> closed)
    : port(port),
      ui(ui),
      view(view),
      opened(std::move(opened)),
      lost(std::move(lost)),
      closed(std::move(closed)) {}

ConnectResult Connection::Toggle(const std::string& path,
                                 const std::function<void(const EComPort&)>& refused) {
    port.SetPort(path);
    ui.ProcessMessages();
    ui.SetTimerEnabled(TimerId::Timer2, false);
    if (port.Connected()) {
        Close();
        return ConnectResult::Closed;
    }
    try {
        port.Open();
    } catch (const EComPort& error) {
        if (refused) {
            refused(error);
        }
        return ConnectResult::Refused;
    }
    port.ClearBuffer(true, true);
    ShowState(true);
    view.SetPortListEnabled(false);
    return ConnectResult::Opened;
}

void Connection::Close() {
    port.Close();
    if (closed) {
        closed(false);
    }
    ShowState(false);
    view.SetPortListEnabled(true);
}

void Connection::TimedClose() {
    ui.SetTimerEnabled(TimerId::Timer2, false);
    port.Close();
    if (closed) {
        closed(true);
    }
    ShowState(false);
}

void Connection::CloseSoon() {
    ui.SetTimerEnabled(TimerId::Timer2, true);
    view.SetPortListEnabled(true);
}

void Connection::Lost() {
    ui.SetTimerEnabled(TimerId::Timer2, false);
    if (lost) {
        lost();
    }
    // Runs inside the port's hand-over: the close leaves the waiting event thread
    // to be joined once this handler has returned.
    port.Close();
    ShowState(false, ConnectionLostText);
    view.SetPortListEnabled(true);
}

void Connection::ShowState(bool connected, const char* closedText) {
    view.ConnectionChanging();
    ui.ProcessMessages();
    if (connected) {
        if (opened) {
            opened();
        }
        ui.ClearLog(LogPane::Log);
        view.ShowConnected();
        ui.AppendLog(LogPane::Log, ConnectionOpenedText);
    } else {
        ui.AppendLog(LogPane::Log, closedText);
        view.ShowDisconnected();
    }
    ui.ProcessMessages();
}

}  // namespace vyx
