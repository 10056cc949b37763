#include <windows.h>

#include <system_error>

#include "EventSignal.h"

namespace vyx {

EventSignal::EventSignal()
    : native(reinterpret_cast<std::intptr_t>(::CreateEventA(nullptr, TRUE, FALSE, nullptr))) {
    if (native == 0) {
        throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(),
                                "CreateEvent");
    }
}

EventSignal::~EventSignal() {
    ::CloseHandle(reinterpret_cast<HANDLE>(native));
}

void EventSignal::Raise() {
    ::SetEvent(reinterpret_cast<HANDLE>(native));
}

void EventSignal::Take() {
    ::ResetEvent(reinterpret_cast<HANDLE>(native));
}

}  // namespace vyx
