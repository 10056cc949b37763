// The failure numbers and their texts.
#include <gtest/gtest.h>

#include <string>

#include "EComPort.h"

namespace vyx {
namespace {

TEST(EComPort, EveryNumberHasItsTextAndTheSystemCodeFollowsItWhenThereIsOne) {
    const std::pair<int, std::string> table[] = {
        {1, "Unable to open com port"},
        {2, "WriteFile function failed"},
        {3, "ReadFile function failed"},
        {4, "Invalid Async parameter"},
        {5, "PurgeComm function failed"},
        {6, "Unable to get async status"},
        {7, "SetCommState function failed"},
        {8, "SetCommTimeouts failed"},
        {9, "SetupComm function failed"},
        {10, "ClearCommError function failed"},
        {11, "GetCommModemStatus function failed"},
        {12, "EscapeCommFunction function failed"},
        {13, "TransmitCommChar function failed"},
        {14, "Cannot set property while connected"},
        {15, "EnumPorts function failed"},
        {16, "Failed to store settings"},
        {17, "Failed to load settings"},
        {18, "Link (un)registration failed"},
        {19, "Cannot change led state if ComPort is selected"},
        {20, "Cannot wait for event if event thread is created"},
        {21, "WaitForEvent method failed"},
        {22, "A component is linked to OnRxBuf event"},
        {23, "Registry error"},
    };
    for (const auto& [number, text] : table) {
        const EComPort bare(number);
        EXPECT_EQ(bare.what(), text);
        EXPECT_EQ(bare.ErrorNumber, number);
        EXPECT_EQ(bare.SystemCode, -1);
        const EComPort withCode(number, 2);
        EXPECT_EQ(withCode.what(), text + " (win error code: 2)");
        EXPECT_EQ(withCode.SystemCode, 2);
    }
    EXPECT_STREQ(EComPort(23, -12).what(), "Registry error (win error code: -12)");
    EXPECT_STREQ(ComErrorText(0), "");
    EXPECT_STREQ(ComErrorText(24), "");
}

}  // namespace
}  // namespace vyx
