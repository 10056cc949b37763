#pragma once
// The desktop's host name, which a visit keeps so that records merged from
// several workshops' computers still say where each was made.

#include <string>

namespace vyx {

/// The computer's name; empty when the system does not tell it.
std::string HostName();

}  // namespace vyx
