#pragma once
// Draws the identifier that marks the packages of one transfer. It is formed
// from the clock's date and time text and a rotating shift, so two transfers in
// a row differ even within the same minute, and mixed with a value the system's
// random source gives once per run, so the first transfer of a new run does not
// repeat the last one of a run that was cut off in the same ten minutes. Not a
// secret: the device only uses it to tell one transfer from the next.

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <random>
#include <string>

namespace vyx {

class TransferIdSource {
public:
    /// Local broken-down time; tests hand in a fixed one.
    using Clock = std::function<std::tm()>;
    /// Non-negative pseudo-random numbers for the fallback; also the run's seed.
    using Random = std::function<std::uint32_t()>;

    /// Shift of the first identifier drawn in a run; it then runs 6 .. 11, 5, ...
    static constexpr std::uint8_t FirstShift = 5;
    static constexpr std::uint8_t LastShift = 11;

    /// `seed` is asked once, at the first draw; tests hand in a fixed one.
    explicit TransferIdSource(Clock clock = LocalTime, Random random = nullptr,
                              Random seed = SystemSeed);

    /// An identifier in 0 .. limit (never 0 unless the limit is 0 or the fallback
    /// draws 0).
    std::uint32_t MakeTransferId(std::uint32_t limit);

    /// The shift the next identifier will use.
    std::uint8_t TransferIdShift() const { return shift; }

    /// "dd/mm/yyyy" followed directly by "hh:mm:ss".
    static std::string ClockText(const std::tm& time);
    static std::tm LocalTime();
    /// The run's seed: SystemRandomNumber.
    static std::uint32_t SystemSeed();

private:
    std::uint32_t RandomBelow(std::uint32_t limit);

    Clock clock;
    Random random;
    Random seed;
    std::optional<std::uint32_t> salt;  // the seed's value, once drawn
    std::minstd_rand generator;         // seeded with the run's seed at the first draw
    std::uint8_t shift = FirstShift;
};

}  // namespace vyx
