#pragma once
// A wake-up flag another thread can wait for with poll().

namespace vyx {

/// An eventfd: Raise() makes Fd() readable until Take() clears it. Raising it
/// several times before a Take() wakes a waiter once.
class EventSignal {
public:
    /// Throws std::system_error when the system has no descriptor to spare.
    EventSignal();
    ~EventSignal();
    EventSignal(const EventSignal&) = delete;
    EventSignal& operator=(const EventSignal&) = delete;

    int Fd() const { return fd; }
    void Raise();
    void Take();

private:
    int fd;
};

}  // namespace vyx
