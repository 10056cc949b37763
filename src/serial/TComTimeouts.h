#pragma once
// The port's read and write time-outs.

#include <chrono>
#include <cstdint>
#include <optional>

namespace vyx {

class TCustomComPort;

/// Time-outs in milliseconds; -1 stands for "the largest value" (no limit for the
/// interval). The rules, with n the number of bytes asked for:
/// - a read ends when n bytes have arrived, when more than ReadInterval passes
///   between two bytes once one has arrived, or when ReadTotalMultiplier * n +
///   ReadTotalConstant has passed since it began, whichever comes first; a zero
///   interval or a zero total means that limit is off; an interval of -1 with both
///   totals 0 returns at once with what is there;
/// - a write is cut off after WriteTotalMultiplier * n + WriteTotalConstant (0: no limit).
/// A time-out is not an error: the call returns the smaller count.
class TComTimeouts {
public:
    explicit TComTimeouts(TCustomComPort& port) : port(port) {}

    std::int32_t ReadInterval() const { return readInterval; }
    void SetReadInterval(std::int32_t value);
    std::int32_t ReadTotalMultiplier() const { return readTotalMultiplier; }
    void SetReadTotalMultiplier(std::int32_t value);
    std::int32_t ReadTotalConstant() const { return readTotalConstant; }
    void SetReadTotalConstant(std::int32_t value);
    std::int32_t WriteTotalMultiplier() const { return writeTotalMultiplier; }
    void SetWriteTotalMultiplier(std::int32_t value);
    std::int32_t WriteTotalConstant() const { return writeTotalConstant; }
    void SetWriteTotalConstant(std::int32_t value);

    /// The limits of one transfer of `count` bytes; nullopt means "no limit".
    struct ReadLimits {
        bool immediate = false;
        std::optional<std::chrono::milliseconds> interval;
        std::optional<std::chrono::milliseconds> total;
    };
    ReadLimits ReadLimitsFor(std::int32_t count) const;
    std::optional<std::chrono::milliseconds> WriteLimitFor(std::int32_t count) const;

private:
    TCustomComPort& port;
    std::int32_t readInterval = -1;
    std::int32_t readTotalMultiplier = 0;
    std::int32_t readTotalConstant = 0;
    std::int32_t writeTotalMultiplier = 100;
    std::int32_t writeTotalConstant = 1000;
};

}  // namespace vyx
