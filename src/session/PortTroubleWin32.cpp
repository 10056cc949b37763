// How a refused open looks on Windows: a port another program holds is refused
// with "access denied" (ports are opened for exclusive use), so that is read as
// busy; there is no group to join.
#include <windows.h>

#include "PortTroubleSystem.h"

namespace vyx::port_trouble {

PortTrouble::Kind KindOfOpenFailure(int systemCode) {
    using Kind = PortTrouble::Kind;
    switch (systemCode) {
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return Kind::Busy;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DEVICE_NOT_CONNECTED:
            return Kind::Vanished;
        default:
            return Kind::Other;
    }
}

std::string RefusalDetail(const std::string&) {
    return {};
}

}  // namespace vyx::port_trouble
