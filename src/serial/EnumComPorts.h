#pragma once
// The list of serial ports present on the machine.

#include <string>
#include <vector>

namespace vyx {

/// Where ports are looked for.
struct ComPortSources {
    /// Terminal devices: every entry with a `device` link is a port, except
    /// placeholder UARTs whose `type` reads 0.
    std::string ttyClassFolder = "/sys/class/tty";
    /// Virtual ports (a simulator's pseudo-terminal): every symlink in this folder,
    /// used only when the folder belongs to the user and others cannot write to it.
    std::string virtualFolder;
};

/// $XDG_RUNTIME_DIR/vyx-ports, or /tmp/vyx-ports-<uid> when that variable is unset.
/// Whoever publishes a virtual port puts a symlink to its device here.
std::string VirtualPortFolder();

/// Replaces the entries of `list` with the full paths of the ports present, sorted
/// case-insensitively as text (duplicates kept). A missing virtual-port folder adds
/// nothing; failing to read the terminal folder throws EComPort 23 with the errno
/// and leaves `list` as it was.
void EnumComPorts(std::vector<std::string>& list);
void EnumComPorts(std::vector<std::string>& list, const ComPortSources& sources);

}  // namespace vyx
