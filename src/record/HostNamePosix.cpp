#include <unistd.h>

#include <array>

#include "HostName.h"

namespace vyx {

std::string HostName() {
    std::array<char, 256> name{};
    if (::gethostname(name.data(), name.size() - 1) != 0) {
        return {};
    }
    return name.data();
}

}  // namespace vyx
