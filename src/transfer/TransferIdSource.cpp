#include "TransferIdSource.h"

#include "SystemRandom.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace vyx {

namespace {

// Only the date, the hours, the colon and the tens of the minutes take part.
constexpr std::size_t UsedClockChars = 14;

// A character code as a signed 8-bit number, widened for wrapping arithmetic.
std::uint32_t SignedCode(char c) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int8_t>(c)));
}

}  // namespace

TransferIdSource::TransferIdSource(Clock clock, Random random, Random seed)
    : clock(std::move(clock)), random(std::move(random)), seed(std::move(seed)) {}

std::string TransferIdSource::ClockText(const std::tm& time) {
    char text[96];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d%02d:%02d:%02d", time.tm_mday, time.tm_mon + 1,
                  time.tm_year + 1900, time.tm_hour, time.tm_min, time.tm_sec);
    return text;
}

std::tm TransferIdSource::LocalTime() {
    // The standard call shares one result between threads (the reentrant forms
    // differ between POSIX and Windows): the copy is taken under a lock.
    static std::mutex mutex;
    const std::time_t now = std::time(nullptr);
    std::lock_guard lock(mutex);
    const std::tm* local = std::localtime(&now);
    return local != nullptr ? *local : std::tm{};
}

std::uint32_t TransferIdSource::SystemSeed() {
    return SystemRandomNumber();
}

std::uint32_t TransferIdSource::MakeTransferId(std::uint32_t limit) {
    const std::string text = ClockText(clock());
    auto at = [&text](std::size_t i) { return i < text.size() ? SignedCode(text[i]) : 0u; };

    // Products of signed codes in 32 bits, wrapping as they go.
    std::uint32_t v = at(UsedClockChars - 1);
    for (std::size_t i = 0; i + 1 < UsedClockChars; ++i) {
        v *= at(i);
    }
    v >>= shift;
    // The same value mixed into every draw of a run: consecutive identifiers still
    // differ exactly when the shifted products do.
    if (!salt) {
        salt = seed ? seed() : 0;
        generator.seed(*salt);
    }
    v ^= *salt;
    v &= limit;
    shift = shift < LastShift ? static_cast<std::uint8_t>(shift + 1) : FirstShift;
    return v != 0 ? v : RandomBelow(limit);
}

std::uint32_t TransferIdSource::RandomBelow(std::uint32_t limit) {
    if (limit == 0) {
        return 0;
    }
    const std::uint32_t drawn = random ? random() : static_cast<std::uint32_t>(generator());
    return drawn % limit;
}

}  // namespace vyx
