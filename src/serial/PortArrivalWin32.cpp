// Port arrival on Windows: the port list read at most once a second (the
// registry's serial map and the virtual-port folder hold a few entries, so the
// look costs nothing noticeable), the wait itself on the stop event.
#include <windows.h>

#include <algorithm>

#include "PortArrival.h"

namespace vyx {

namespace {

constexpr std::chrono::milliseconds Period(1000);

class PeriodicWatch : public PortArrival::Watch {
public:
    bool Changed(const EventSignal& stop, std::chrono::milliseconds limit) override {
        const bool whole = limit >= Period;
        const DWORD wait = static_cast<DWORD>(std::min(limit, Period).count());
        const DWORD result = ::WaitForSingleObject(reinterpret_cast<HANDLE>(stop.Native()), wait);
        return result == WAIT_TIMEOUT && whole;
    }
};

}  // namespace

std::unique_ptr<PortArrival::Watch> PortArrival::Watch::Start(const ComPortSources&) {
    return std::make_unique<PeriodicWatch>();
}

}  // namespace vyx
