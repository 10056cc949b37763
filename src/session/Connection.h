#pragma once
// The connection to a device: open with emptied queues, close, and the timed
// close a moment later (Timer2). Used by the window's connect button and by the
// headless stand-in alike, so both say and do the same.

#include <functional>
#include <string>

#include "ConnectionTexts.h"
#include "ConnectionView.h"
#include "Cport.h"
#include "LinkHost.h"

namespace vyx {

enum class ConnectResult { Opened, Closed, Refused };

class Connection {
public:
    /// `opened` is told of every new connection before its log line (the device
    /// session acts on the next identity again); `lost` is told first when the
    /// device went away (the device session drops what it was doing); `closed`
    /// once the port is closed, before its log line, with whether the timed
    /// close did it (the device session stops what was under way).
    Connection(TComPort& port, LinkHost& ui, ConnectionView& view, std::function<void()> opened,
               std::function<void()> lost = {}, std::function<void(bool timed)> closed = {});

    /// The connect button with `path` chosen: closes an open connection, or
    /// opens `path`. A missing, busy or refused port is handed to `refused` and
    /// changes nothing else. A timed close still pending is dropped: it belongs
    /// to the earlier connection.
    ConnectResult Toggle(const std::string& path,
                         const std::function<void(const EComPort&)>& refused = {});

    /// Closes the port, shows the closed state and frees the port list.
    void Close();

    /// The tick of the timed close: closes the port and shows the closed state
    /// (the port list stays as it is).
    void TimedClose();

    /// Starts the timed close and frees the port list.
    void CloseSoon();

    /// The port's hang-up notification: the device went away (cable pulled).
    /// Closes the port, says so in one line and shows the closed state with the
    /// port list free; a timed close still pending is dropped.
    void Lost();

private:
    void ShowState(bool connected, const char* closedText = ConnectionClosedText);

    TComPort& port;
    LinkHost& ui;
    ConnectionView& view;
    std::function<void()> opened;
    std::function<void()> lost;
    std::function<void(bool timed)> closed;
};

}  // namespace vyx
