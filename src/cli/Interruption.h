#pragma once
// How vyxctl is interrupted. The first Ctrl+C (SIGINT, SIGTERM, SIGHUP) only asks:
// every device's work looks at the request from its loop and stops at its next
// safe point, so the ports are given back and the summary says where each device
// was cut off. A second one ends the process at once, the ports given back first.
// A closed standard output or error is no reason to stop device work, and a crash
// still gives the ports back.

namespace vyx::cli {

class Interruption {
public:
    /// Installs the handlers; once, at the start of the program.
    static void Install();
    /// Whether the work was asked to stop. Any thread.
    static bool Requested();
    /// Asks as the first signal does; true when it had been asked already.
    /// Async-signal-safe.
    static bool Request();
};

}  // namespace vyx::cli
