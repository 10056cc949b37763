#include "LinePeer.h"

#include <windows.h>

#include <cstdlib>

namespace vyx::test {

std::string PortFrom(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr ? value : "";
}

bool UnderWine() {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace vyx::test
