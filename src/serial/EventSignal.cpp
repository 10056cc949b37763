#include "EventSignal.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace vyx {

EventSignal::EventSignal() : fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (fd < 0) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
}

EventSignal::~EventSignal() {
    ::close(fd);
}

void EventSignal::Raise() {
    const std::uint64_t one = 1;
    // Only fails when the counter is near overflow, which still leaves it readable.
    [[maybe_unused]] ssize_t n = ::write(fd, &one, sizeof one);
}

void EventSignal::Take() {
    std::uint64_t value = 0;
    [[maybe_unused]] ssize_t n = ::read(fd, &value, sizeof value);
}

}  // namespace vyx
