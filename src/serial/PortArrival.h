#pragma once
// Which serial ports appear and vanish, for serving each Vyx as it is plugged in,
// without a busy loop: on Linux the kernel tells of new and removed entries in
// /dev and in the virtual-port folder (inotify), and the port list is read again
// only then; on Windows the port list is read at most once a second.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "EnumComPorts.h"
#include "EventSignal.h"

namespace vyx {

/// What changed in the port list, each list sorted as EnumComPorts sorts it.
struct PortChanges {
    std::vector<std::string> Appeared;
    std::vector<std::string> Vanished;
    bool Empty() const { return Appeared.empty() && Vanished.empty(); }
};

/// The ports of `after` not in `before`, and those of `before` not in `after`.
PortChanges ComparePortLists(const std::vector<std::string>& before,
                             const std::vector<std::string>& after);

class PortArrival {
public:
    /// Starts watching, and lists the ports present now; throws EComPort when
    /// the system's list cannot be read.
    explicit PortArrival(ComPortSources sources = DefaultComPortSources());
    ~PortArrival();
    PortArrival(const PortArrival&) = delete;
    PortArrival& operator=(const PortArrival&) = delete;

    /// The ports present as of the last look.
    const std::vector<std::string>& Present() const { return present; }

    /// Waits until a port appears or vanishes, Stop() is called, or `timeout`
    /// passes: what changed since the last look, empty on a stop or time-out.
    /// A list that cannot be read meanwhile counts as unchanged.
    PortChanges Wait(std::chrono::milliseconds timeout);

    /// From any thread: the Wait under way, and every later one, returns at once.
    void Stop() { stop.Raise(); }

    class Watch;

private:
    ComPortSources sources;
    std::vector<std::string> present;
    EventSignal stop;
    std::unique_ptr<Watch> watch;
};

/// The system's half: what tells that the port list may have changed.
class PortArrival::Watch {
public:
    /// Starts watching where the ports of `sources` appear.
    static std::unique_ptr<Watch> Start(const ComPortSources& sources);
    virtual ~Watch() = default;
    /// Waits up to `limit` for a sign that the list may have changed (true), or
    /// for `stop` or the time-out (false).
    virtual bool Changed(const EventSignal& stop, std::chrono::milliseconds limit) = 0;
};

}  // namespace vyx
