#pragma once
// The device's end of the line: the master side of a pseudo-terminal whose slave
// the tool opens as its serial port.

#include <string>

namespace vyx::sim {

class PseudoTerminal {
public:
    /// Creates the pair, non-blocking and raw. Throws std::runtime_error.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int Master() const { return master; }
    /// The slave's device path, e.g. /dev/pts/3.
    const std::string& SlavePath() const { return slavePath; }

    /// Whether some process holds the slave open now.
    bool SlaveOpen() const;

    /// Discards bytes in both directions (the tool closed the port: nothing
    /// queued for it may reach the next opener).
    void Flush();

    /// Closes the master: the tool sees its port hang up. Idempotent.
    void Close();

private:
    int master = -1;
    std::string slavePath;
};

}  // namespace vyx::sim
