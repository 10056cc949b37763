#include "TComTimeouts.h"

#include "TCustomComPort.h"

namespace vyx {

namespace {

// The values are unsigned 32-bit quantities, -1 being the largest.
std::uint64_t Unsigned(std::int32_t value) {
    return static_cast<std::uint32_t>(value);
}

std::optional<std::chrono::milliseconds> Total(std::int32_t multiplier, std::int32_t constant,
                                               std::int32_t count) {
    const std::uint64_t total =
        Unsigned(multiplier) * Unsigned(count < 0 ? 0 : count) + Unsigned(constant);
    if (total == 0) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(static_cast<std::int64_t>(total));
}

}  // namespace

void TComTimeouts::SetReadInterval(std::int32_t value) {
    port.StoreAndApply(readInterval, value, ComGroup::Timeouts);
}
void TComTimeouts::SetReadTotalMultiplier(std::int32_t value) {
    port.StoreAndApply(readTotalMultiplier, value, ComGroup::Timeouts);
}
void TComTimeouts::SetReadTotalConstant(std::int32_t value) {
    port.StoreAndApply(readTotalConstant, value, ComGroup::Timeouts);
}
void TComTimeouts::SetWriteTotalMultiplier(std::int32_t value) {
    port.StoreAndApply(writeTotalMultiplier, value, ComGroup::Timeouts);
}
void TComTimeouts::SetWriteTotalConstant(std::int32_t value) {
    port.StoreAndApply(writeTotalConstant, value, ComGroup::Timeouts);
}

TComTimeouts::ReadLimits TComTimeouts::ReadLimitsFor(std::int32_t count) const {
    ReadLimits limits;
    if (readInterval == -1 && readTotalMultiplier == 0 && readTotalConstant == 0) {
        limits.immediate = true;
        return limits;
    }
    if (readInterval != 0 && readInterval != -1) {
        limits.interval = std::chrono::milliseconds(Unsigned(readInterval));
    }
    limits.total = Total(readTotalMultiplier, readTotalConstant, count);
    return limits;
}

std::optional<std::chrono::milliseconds> TComTimeouts::WriteLimitFor(std::int32_t count) const {
    return Total(writeTotalMultiplier, writeTotalConstant, count);
}

}  // namespace vyx
