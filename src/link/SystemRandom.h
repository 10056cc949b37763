#pragma once
// Numbers no one can guess ahead of a run: what a name or an identifier needs
// to differ from one run to the next (a transfer's identifier, a temporary file's
// name). Not for secrets.

#include <cstdint>

namespace vyx {

/// A number from the system's random source; when the system has none, the
/// finest count of the clock, which still differs in every run.
std::uint32_t SystemRandomNumber();

}  // namespace vyx
