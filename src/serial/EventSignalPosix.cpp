#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

#include "EventSignal.h"

namespace vyx {

EventSignal::EventSignal() : native(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (native < 0) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
}

EventSignal::~EventSignal() {
    ::close(static_cast<int>(native));
}

void EventSignal::Raise() {
    const std::uint64_t one = 1;
    // Only fails when the counter is near overflow, which still leaves it readable.
    [[maybe_unused]] ssize_t n = ::write(static_cast<int>(native), &one, sizeof one);
}

void EventSignal::Take() {
    std::uint64_t value = 0;
    [[maybe_unused]] ssize_t n = ::read(static_cast<int>(native), &value, sizeof value);
}

}  // namespace vyx
