#pragma once
// The floor: the least a program can do for the tool's exchanges on a
// pseudo-terminal. It sends requests recorded from the tool, one at a time:
// write, wait, read the whole reply.

#include <string>

#include "MiniDevice.h"

namespace vyx::bench {

/// Opens `path` raw, sends every request of `requests` and reads each reply.
/// False when a reply did not come within a second.
bool ReplayExchanges(const std::string& path, const RequestLog& requests);

}  // namespace vyx::bench
