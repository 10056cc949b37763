#pragma once
// What a connection shows beyond the log: the connect button, the editor's
// state for a new connection, and the port list. The window implements it;
// the headless stand-in keeps the same state as plain values.

namespace vyx {

class ConnectionView {
public:
    virtual ~ConnectionView() = default;

    /// A change of state begins (the window takes the button's glyph away).
    virtual void ConnectionChanging() = 0;
    /// The port was opened: button held down, the editor emptied (no list
    /// selection, every value edit empty, every box unticked).
    virtual void ShowConnected() = 0;
    /// The port was closed: button up, no write allowed until the next read.
    virtual void ShowDisconnected() = 0;
    /// The port list, locked while a connection is open.
    virtual void SetPortListEnabled(bool enabled) = 0;
};

}  // namespace vyx
