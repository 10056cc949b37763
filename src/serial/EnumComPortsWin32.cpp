// Port enumeration on Windows: the registry's serial-device map and the user's
// virtual-port folder.
#include <windows.h>

#include <cstdlib>
#include <memory>

#include "EComPort.h"
#include "EnumComPorts.h"
#include "EnumComPortsSystem.h"

namespace vyx {

namespace {

struct KeyCloser {
    void operator()(HKEY key) const { ::RegCloseKey(key); }
};
using Key = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

}  // namespace

namespace port_list {

// Each value's data is a port name; its own name (the driver's device) is not looked at.
void AddSystemPorts(const std::string& keyPath, std::vector<std::string>& ports) {
    HKEY opened = nullptr;
    const LONG code = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &opened);
    if (code != ERROR_SUCCESS) {
        throw EComPort(ComErrorPortList, static_cast<std::int32_t>(code));
    }
    const Key key(opened);
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        BYTE data[256];
        DWORD dataLength = sizeof data;
        const LONG result = ::RegEnumValueA(key.get(), index, name, &nameLength, nullptr, nullptr,
                                            data, &dataLength);
        if (result == ERROR_NO_MORE_ITEMS) {
            return;
        }
        if (result != ERROR_SUCCESS) {
            throw EComPort(ComErrorPortList, static_cast<std::int32_t>(result));
        }
        // The data is text with its terminating zero, which a careless writer
        // may have left out: the name ends at the first zero or the data's end.
        std::string port(reinterpret_cast<const char*>(data), dataLength);
        port = port.substr(0, port.find('\0'));
        if (!port.empty()) {
            ports.push_back(port);
        }
    }
}

// Every entry of the folder names a port. The folder lies in the user's own
// profile, which other users cannot write to.
void AddVirtualPorts(const std::string& folder, std::vector<std::string>& ports) {
    if (folder.empty()) {
        return;
    }
    WIN32_FIND_DATAA entry{};
    const HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string name = entry.cFileName;
        if (name != "." && name != "..") {
            ports.push_back(name);
        }
    } while (::FindNextFileA(search, &entry));
    ::FindClose(search);
}

}  // namespace port_list

std::string VirtualPortFolder() {
    const char* local = std::getenv("LOCALAPPDATA");
    if (local == nullptr || *local == '\0') {
        return "";
    }
    return std::string(local) + "\\vyx-ports";
}

ComPortSources DefaultComPortSources() {
    return ComPortSources{"HARDWARE\\DEVICEMAP\\SERIALCOMM", VirtualPortFolder()};
}

}  // namespace vyx
