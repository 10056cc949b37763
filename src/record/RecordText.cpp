#include "RecordText.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <nlohmann/json.hpp>

#include "SystemRandom.h"

namespace vyx {

namespace {

using Json = nlohmann::json;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLowerHex(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f');
}

bool IsFollowByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The whole number written by `digits` digits at `at`.
int Digits(std::string_view text, std::size_t at, std::size_t digits) {
    int value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        value = value * 10 + (text[at + i] - '0');
    }
    return value;
}

std::chrono::year_month_day DateOf(std::string_view text) {
    using namespace std::chrono;
    return {year{Digits(text, 0, 4)}, month{static_cast<unsigned>(Digits(text, 5, 2))},
            day{static_cast<unsigned>(Digits(text, 8, 2))}};
}

}  // namespace

std::string KeptText(std::string_view text, std::size_t cap) {
    // A character takes at most four bytes, and each bad byte becomes one
    // character: past that many bytes nothing more can be kept.
    if (cap < text.size() / 4) {
        text = text.substr(0, cap * 4);
    }
    // The JSON writer's own repair of bad sequences, so the record and every
    // export agree on what replaced them.
    const std::string quoted =
        Json(std::string(text)).dump(-1, ' ', false, Json::error_handler_t::replace);
    std::string kept = Json::parse(quoted, nullptr, false).get<std::string>();
    std::size_t characters = 0;
    for (std::size_t at = 0; at < kept.size(); ++at) {
        if (!IsFollowByte(kept[at]) && characters++ == cap) {
            kept.resize(at);
            break;
        }
    }
    return kept;
}

std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) {
        count += IsFollowByte(c) ? 0 : 1;
    }
    return count;
}

std::string TimeText(std::chrono::sys_seconds utc, std::chrono::minutes offset) {
    using namespace std::chrono;
    const sys_seconds local = utc + offset;
    const sys_days day = floor<days>(local);
    const year_month_day date(day);
    const hh_mm_ss time(local - day);
    const long long off = offset.count();
    const long long absOff = off < 0 ? -off : off;
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02lld:%02lld:%02lld%c%02lld:%02lld",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<long long>(time.hours().count()),
                  static_cast<long long>(time.minutes().count()),
                  static_cast<long long>(time.seconds().count()), off < 0 ? '-' : '+', absOff / 60,
                  absOff % 60);
    return text;
}

std::string NowText() {
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    {
        // The standard call shares one result between threads.
        static std::mutex mutex;
        std::lock_guard lock(mutex);
        if (const std::tm* l = std::localtime(&t)) {
            local = *l;
        }
    }
    // The local wall clock read as if it were UTC, less the instant: the offset.
    const sys_days day = year{local.tm_year + 1900} / (local.tm_mon + 1) / local.tm_mday;
    const sys_seconds wall =
        day + hours{local.tm_hour} + minutes{local.tm_min} + seconds{local.tm_sec};
    return TimeText(now, round<minutes>(wall - now));
}

bool IsTimeText(std::string_view text) {
    static constexpr std::string_view Form = "0000-00-00T00:00:00+00:00";
    if (text.size() != Form.size()) {
        return false;
    }
    for (std::size_t i = 0; i < Form.size(); ++i) {
        const bool sign = i == 19;
        if (sign ? (text[i] != '+' && text[i] != '-')
                 : (Form[i] == '0' ? !IsDigit(text[i]) : text[i] != Form[i])) {
            return false;
        }
    }
    // A real date; hours, minutes, seconds (a leap second too); an offset within a day.
    return DateOf(text).ok() && Digits(text, 11, 2) <= 23 && Digits(text, 14, 2) <= 59 &&
           Digits(text, 17, 2) <= 60 && Digits(text, 20, 2) <= 14 && Digits(text, 23, 2) <= 59;
}

std::optional<std::chrono::sys_seconds> TimeInstant(std::string_view timeText) {
    using namespace std::chrono;
    if (!IsTimeText(timeText)) {
        return std::nullopt;
    }
    const minutes offset{(timeText[19] == '-' ? -1 : 1) *
                         (Digits(timeText, 20, 2) * 60 + Digits(timeText, 23, 2))};
    const sys_seconds local = sys_days{DateOf(timeText)} + hours{Digits(timeText, 11, 2)} +
                              minutes{Digits(timeText, 14, 2)} + seconds{Digits(timeText, 17, 2)};
    return local - offset;
}

std::string UtcText(std::string_view timeText) {
    const std::optional<std::chrono::sys_seconds> instant = TimeInstant(timeText);
    if (!instant) {
        return {};
    }
    std::string text = TimeText(*instant, std::chrono::minutes{0});
    return text.replace(19, 6, "Z");
}

std::string GroupedNumber(std::uint64_t value) {
    const std::string digits = std::to_string(value);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            text += '.';
        }
        text += digits[i];
    }
    return text;
}

std::string NewVisitUuid() {
    std::array<std::uint8_t, 16> bytes{};
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        const std::uint32_t word = SystemRandomNumber();
        for (std::size_t b = 0; b < 4; ++b) {
            bytes[i + b] = static_cast<std::uint8_t>(word >> (8 * b));
        }
    }
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // the standard variant
    std::string text;
    char hex[3];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            text += '-';
        }
        std::snprintf(hex, sizeof hex, "%02x", bytes[i]);
        text += hex;
    }
    return text;
}

bool IsVisitUuid(std::string_view text) {
    if (text.size() != 36) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? text[i] != '-' : !IsLowerHex(text[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace vyx
