#pragma once
// A wake-up flag another thread can wait for.

#include <cstdint>

namespace vyx {

/// A flag that one thread raises and another waits for together with the device:
/// an eventfd for poll() on POSIX systems, a manual-reset event on Windows.
/// Raise() makes it signalled until Take() clears it; raising it several times
/// before a Take() wakes a waiter once.
class EventSignal {
public:
    /// Throws std::system_error when the system has no descriptor or event to spare.
    EventSignal();
    ~EventSignal();
    EventSignal(const EventSignal&) = delete;
    EventSignal& operator=(const EventSignal&) = delete;

    /// The descriptor (POSIX) or event handle (Windows) to wait on.
    std::intptr_t Native() const { return native; }
    void Raise();
    void Take();

private:
    std::intptr_t native;
};

}  // namespace vyx
