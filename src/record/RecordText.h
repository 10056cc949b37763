#pragma once
// The small texts of the service record: typed text made fit to keep, times,
// grouped numbers and a visit's identifier. Every door and every export take
// them from here, so the same visit reads the same everywhere.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vyx {

/// Characters kept of a service field or a log line.
inline constexpr std::size_t RecordTextCap = 1000;

/// `text` as typed, each invalid UTF-8 sequence replaced by U+FFFD and cut
/// after `cap` characters. Control characters stay: every view shows them inert.
std::string KeptText(std::string_view text, std::size_t cap = RecordTextCap);

/// Characters (UTF-8 code points) of valid UTF-8 `text`.
std::size_t CharacterCount(std::string_view text);

/// "2026-12-09T10:29:40-03:00": the instant `utc` in the local time `offset`
/// ahead of UTC.
std::string TimeText(std::chrono::sys_seconds utc, std::chrono::minutes offset);
/// The system clock's present instant in the system's local offset.
std::string NowText();
/// Whether `text` has the form TimeText gives.
bool IsTimeText(std::string_view text);
/// The instant a TimeText names; nothing for a text that is not one.
std::optional<std::chrono::sys_seconds> TimeInstant(std::string_view timeText);
/// A TimeText's instant in UTC, "2026-12-09T13:29:40Z": texts that sort in time
/// order whatever offsets the visits were recorded in (merged records from
/// several time zones); empty for a text that is not a TimeText.
std::string UtcText(std::string_view timeText);

/// "1.861": thousands grouped with dots, as the visit's texts write counts.
std::string GroupedNumber(std::uint64_t value);

/// A random identifier (version 4), lower-case "xxxxxxxx-xxxx-4xxx-yxxx-xxxxxxxxxxxx".
std::string NewVisitUuid();
/// Whether `text` has that form (any version, lower-case).
bool IsVisitUuid(std::string_view text);

}  // namespace vyx
