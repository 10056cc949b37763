#pragma once
// Where the record lives when no path is given: the user's own data folder, one
// source file per system.

#include <optional>
#include <string>

namespace vyx::record {

/// Sets `path` to the record's file in the user's data folder (UTF-8), creating
/// the folders that are missing, private to the user. Returns the line that says
/// why there is none.
std::optional<std::string> DefaultStorePath(std::string& path);

}  // namespace vyx::record
