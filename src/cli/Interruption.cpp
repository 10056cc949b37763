#include "Interruption.h"

#include <atomic>

namespace vyx::cli {

namespace {

// Set from a signal handler and read by every device's thread.
std::atomic<bool> requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

}  // namespace

bool Interruption::Requested() {
    return requested.load();
}

bool Interruption::Request() {
    return requested.exchange(true);
}

}  // namespace vyx::cli
