#pragma once
// The far ends of the lines the Windows tests use, named by the test script.

#include <string>

namespace vyx::test {

/// The port named by environment variable `variable` (e.g. "COM6"); empty when unset.
std::string PortFrom(const char* variable);

/// Whether the program runs under Wine rather than on Windows itself.
bool UnderWine();

/// Bytes that make the echoing line hang up, as a pulled cable would; the line
/// comes back (a new one under the same name) a moment later.
inline constexpr char HangUpRequest[] =
    "\x7F"
    "HANG-UP"
    "\x7F";

}  // namespace vyx::test
