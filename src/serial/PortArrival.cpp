#include "PortArrival.h"

#include <algorithm>
#include <iterator>

#include "EComPort.h"

namespace vyx {

namespace {

using Clock = std::chrono::steady_clock;

// The list sorted for set arithmetic; duplicates from two sources count once.
std::vector<std::string> Sorted(std::vector<std::string> list) {
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    return list;
}

std::vector<std::string> Missing(const std::vector<std::string>& from,
                                 const std::vector<std::string>& in) {
    std::vector<std::string> missing;
    std::set_difference(from.begin(), from.end(), in.begin(), in.end(),
                        std::back_inserter(missing));
    SortPortNames(missing);
    return missing;
}

// The system's list without the virtual folder's hidden names: a port is made
// there under one and renamed into place, and only the final name is the port
// (the hidden one would be gone, or its device busy, by the time it is opened).
void ListPorts(std::vector<std::string>& ports, const ComPortSources& sources) {
    EnumComPorts(ports, sources);
    if (sources.virtualFolder.empty()) {
        return;
    }
    const std::string hidden = sources.virtualFolder + "/.";
    std::erase_if(ports, [&](const std::string& port) { return port.starts_with(hidden); });
}

}  // namespace

PortChanges ComparePortLists(const std::vector<std::string>& before,
                             const std::vector<std::string>& after) {
    const std::vector<std::string> was = Sorted(before);
    const std::vector<std::string> is = Sorted(after);
    return {Missing(is, was), Missing(was, is)};
}

PortArrival::PortArrival(ComPortSources sources)
    : sources(std::move(sources)), watch(Watch::Start(this->sources)) {
    // Watching starts first: a port that appears while the list is read is
    // reported by the next Wait, never lost between the two.
    ListPorts(present, this->sources);
}

PortArrival::~PortArrival() = default;

PortChanges PortArrival::Wait(std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    while (true) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() < 0 || !watch->Changed(stop, left)) {
            return {};
        }
        std::vector<std::string> now;
        try {
            ListPorts(now, sources);
        } catch (const EComPort&) {
            continue;  // looked at again on the next sign
        }
        PortChanges changes = ComparePortLists(present, now);
        present = std::move(now);
        if (!changes.Empty()) {
            return changes;
        }
    }
}

}  // namespace vyx
