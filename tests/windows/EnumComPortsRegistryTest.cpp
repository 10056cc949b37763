// The port list on Windows from a serial-device map the test writes itself (under
// Wine the machine's registry belongs to the user).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "EComPort.h"
#include "EnumComPorts.h"

namespace vyx {
namespace {

constexpr char TestMap[] = "Software\\VyxTool-tests\\SERIALCOMM";

class RegistryMap : public ::testing::Test {
protected:
    void SetUp() override {
        HKEY key = nullptr;
        if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, TestMap, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr) != ERROR_SUCCESS) {
            GTEST_SKIP() << "the machine's registry cannot be written here";
        }
        // Value name: the driver's device; data: the port name with its zero, or
        // (as a careless driver writes it) without.
        const auto set = [key](const char* device, const std::string& data) {
            ::RegSetValueExA(key, device, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size()));
        };
        set("\\Device\\Serial2", std::string("COM3", 5));
        set("\\Device\\VCP0", std::string("COM10", 6));
        set("\\Device\\Silly", std::string("com2"));
        ::RegCloseKey(key);
    }
    void TearDown() override { ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\VyxTool-tests"); }
};

TEST_F(RegistryMap, PortNamesComeSortedIgnoringCase) {
    std::vector<std::string> list;
    EnumComPorts(list, ComPortSources{TestMap, ""});
    EXPECT_EQ(list, (std::vector<std::string>{"COM10", "com2", "COM3"}));
}

TEST(EnumComPorts, AMissingMapIsErrorPortListAndKeepsTheList) {
    std::vector<std::string> list = {"COM1"};
    try {
        EnumComPorts(list, ComPortSources{"Software\\VyxTool-tests\\missing", ""});
        FAIL() << "a missing map gave a list";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.ErrorNumber, ComErrorPortList);
        EXPECT_EQ(e.SystemCode, ERROR_FILE_NOT_FOUND);
    }
    EXPECT_EQ(list, std::vector<std::string>{"COM1"});
}

}  // namespace
}  // namespace vyx
