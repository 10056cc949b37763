#include "EComPort.h"

#include <cstdio>

namespace vyx {

namespace {

constexpr const char* ErrorTexts[] = {
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
};

constexpr const char* SystemCodeSuffix = " (win error code: %d)";

std::string MessageFor(std::int32_t errorNumber, std::int32_t systemCode, bool withCode) {
    std::string text = ComErrorText(errorNumber);
    if (withCode) {
        char suffix[64];
        std::snprintf(suffix, sizeof suffix, SystemCodeSuffix, static_cast<int>(systemCode));
        text += suffix;
    }
    return text;
}

}  // namespace

const char* ComErrorText(std::int32_t errorNumber) {
    constexpr std::int32_t count = sizeof ErrorTexts / sizeof ErrorTexts[0];
    if (errorNumber < 1 || errorNumber > count) {
        return "";
    }
    return ErrorTexts[errorNumber - 1];
}

EComPort::EComPort(std::int32_t errorNumber)
    : std::runtime_error(MessageFor(errorNumber, -1, false)),
      ErrorNumber(errorNumber),
      SystemCode(-1) {}

EComPort::EComPort(std::int32_t errorNumber, std::int32_t systemCode)
    : std::runtime_error(MessageFor(errorNumber, systemCode, true)),
      ErrorNumber(errorNumber),
      SystemCode(systemCode) {}

}  // namespace vyx
