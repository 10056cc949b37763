#include <windows.h>

#include <array>

#include "HostName.h"

namespace vyx {

std::string HostName() {
    std::array<char, MAX_COMPUTERNAME_LENGTH + 1> name{};
    DWORD size = static_cast<DWORD>(name.size());
    if (!::GetComputerNameA(name.data(), &size)) {
        return {};
    }
    return std::string(name.data(), size);
}

}  // namespace vyx
