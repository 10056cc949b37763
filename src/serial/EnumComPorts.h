#pragma once
// The list of serial ports present on the machine.

#include <string>
#include <vector>

namespace vyx {

/// Where ports are looked for.
struct ComPortSources {
    /// The system's list of serial devices. POSIX systems: the terminal class
    /// folder (/sys/class/tty), where every entry with a `device` link is a port,
    /// except placeholder UARTs whose `type` reads 0. Windows: the registry key
    /// under HKEY_LOCAL_MACHINE that maps serial devices to port names
    /// (HARDWARE\DEVICEMAP\SERIALCOMM); every value's data is a port name.
    std::string systemList;
    /// Virtual ports (a simulator's line), used only when the folder belongs to
    /// the user and others cannot write to it. POSIX systems: every symlink in it
    /// is a port. Windows: every entry's name is a port name (a port that a
    /// pair driver or an emulator provides without listing it in the registry).
    std::string virtualFolder;
};

/// The user's virtual-port folder. POSIX systems: $XDG_RUNTIME_DIR/vyx-ports, or
/// /tmp/vyx-ports-<uid> when that variable is unset. Windows:
/// %LOCALAPPDATA%\vyx-ports. Whoever publishes a virtual port puts it here.
std::string VirtualPortFolder();
/// The system's list and the user's virtual-port folder.
ComPortSources DefaultComPortSources();

/// Replaces the entries of `list` with the ports present (POSIX systems: full
/// device paths; Windows: port names), sorted by SortPortNames. A missing
/// virtual-port folder adds nothing; failing to read the system's list throws
/// EComPort ComErrorPortList with the system's code and leaves `list` as it was.
void EnumComPorts(std::vector<std::string>& list);
void EnumComPorts(std::vector<std::string>& list, const ComPortSources& sources);

/// Sorts port names case-insensitively as text, keeping duplicates: COM10, com2, COM3.
void SortPortNames(std::vector<std::string>& names);

}  // namespace vyx
