#pragma once
// The box a failed open of the port shows: what went wrong in plain words and
// what to do about it, then the port's own message with its error number, under
// the caption of every other error the tool shows.

#include <string>

#include "EComPort.h"

namespace vyx::app {

class OpenFailureBox {
public:
    /// Tells the user that the port at `devicePath` did not open. `listRefreshed`:
    /// the window has filled the port list again, and the box says so.
    static void Show(const EComPort& error, const std::string& devicePath, bool listRefreshed);
};

}  // namespace vyx::app
