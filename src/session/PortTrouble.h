#pragma once
// Why a port would not open, in words a technician can act on: whom the device
// belongs to and how to join its group, that another program holds it, or that
// it is gone. The window and the command-line tool show the same explanation.

#include <string>

#include "EComPort.h"

namespace vyx {

class PortTrouble {
public:
    enum class Kind {
        Other,       ///< any other failure
        Permission,  ///< the user may not open the device
        Busy,        ///< another program holds the port
        Vanished,    ///< the device is gone (unplugged, renamed)
    };

    /// Sorts a failure of the port's open by its system code; every other
    /// failure is Kind::Other.
    static Kind Classify(const EComPort& error);

    /// What happened to the port at `devicePath` and what to do about it, in the
    /// tool's Portuguese (no trailing line break). For a refused permission it
    /// looks up the device's owner and group and the running user.
    static std::string Explain(const EComPort& error, const std::string& devicePath);
};

}  // namespace vyx
