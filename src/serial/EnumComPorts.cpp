#include "EnumComPorts.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "EnumComPortsSystem.h"

namespace vyx {

void EnumComPorts(std::vector<std::string>& list) {
    EnumComPorts(list, DefaultComPortSources());
}

void EnumComPorts(std::vector<std::string>& list, const ComPortSources& sources) {
    std::vector<std::string> ports;
    port_list::AddSystemPorts(sources.systemList, ports);
    port_list::AddVirtualPorts(sources.virtualFolder, ports);
    SortPortNames(ports);
    list = std::move(ports);
}

void SortPortNames(std::vector<std::string>& names) {
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
    });
}

}  // namespace vyx
