#include "EnumComPorts.h"

#include <algorithm>
#include <cctype>

namespace vyx {

void EnumComPorts(std::vector<std::string>& list) {
    EnumComPorts(list, DefaultComPortSources());
}

void SortPortNames(std::vector<std::string>& names) {
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
    });
}

}  // namespace vyx
