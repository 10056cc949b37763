#pragma once
// Draws the identifier that marks the packages of one transfer. It is formed
// from the clock's date and time text and a rotating shift, so two transfers in
// a row differ even within the same minute. Not a secret: the device only uses it
// to tell one transfer from the next.

#include <cstdint>
#include <ctime>
#include <functional>
#include <random>
#include <string>

namespace vyx {

class TransferIdSource {
public:
    /// Local broken-down time; tests hand in a fixed one.
    using Clock = std::function<std::tm()>;
    /// Non-negative pseudo-random numbers for the fallback.
    using Random = std::function<std::uint32_t()>;

    /// Shift of the first identifier drawn in a run; it then runs 6 .. 11, 5, ...
    static constexpr std::uint8_t FirstShift = 5;
    static constexpr std::uint8_t LastShift = 11;

    explicit TransferIdSource(Clock clock = LocalTime, Random random = nullptr);

    /// An identifier in 0 .. limit (never 0 unless the limit is 0 or the fallback
    /// draws 0).
    std::uint32_t MakeTransferId(std::uint32_t limit);

    /// The shift the next identifier will use.
    std::uint8_t TransferIdShift() const { return shift; }

    /// "dd/mm/yyyy" followed directly by "hh:mm:ss".
    static std::string ClockText(const std::tm& time);
    static std::tm LocalTime();

private:
    std::uint32_t RandomBelow(std::uint32_t limit);

    Clock clock;
    Random random;
    std::minstd_rand generator;  // default seed: the same sequence every run
    std::uint8_t shift = FirstShift;
};

}  // namespace vyx
