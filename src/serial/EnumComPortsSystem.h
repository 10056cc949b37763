#pragma once
// The system-specific half of the port list: one source file per system.

#include <string>
#include <vector>

namespace vyx::port_list {

/// Appends the ports in the system's list (ComPortSources::systemList); throws
/// EComPort ComErrorPortList when the list cannot be read.
void AddSystemPorts(const std::string& systemList, std::vector<std::string>& ports);
/// Appends the ports in the virtual-port folder; a missing folder, or one that
/// is not the user's own, adds nothing.
void AddVirtualPorts(const std::string& folder, std::vector<std::string>& ports);

}  // namespace vyx::port_list
