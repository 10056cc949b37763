#include "VersionRecord.h"

#include <array>
#include <utility>

namespace vyx {

namespace {

// The fixed characters of the record, by offset.
constexpr std::array<std::pair<std::size_t, char>, 13> FixedCharacters{{
    {1, '*'},
    {2, '$'},
    {3, '('},
    {7, '.'},
    {11, '.'},
    {15, '@'},
    {16, '@'},
    {20, '.'},
    {24, '.'},
    {28, ')'},
    {29, '$'},
    {30, '*'},
    {31, '#'},
}};

// Where the three fields of the first copy start; the second copy is 13 further on.
constexpr std::size_t MajorAt = 4;
constexpr std::size_t MinorAt = 8;
constexpr std::size_t LetterAt = 12;
constexpr std::size_t SecondCopyOffset = 13;
constexpr std::size_t FieldWidth = 3;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int FieldValue(std::string_view record, std::size_t at) {
    return (record[at] - '0') * 100 + (record[at + 1] - '0') * 10 + (record[at + 2] - '0');
}

}  // namespace

std::optional<VersionNumber> VersionRecord::Parse(std::string_view body) {
    // The order of the tests below is the order in which a record is refused.
    if (body.size() <= RecordLength || body.size() > MaxBodyLength) {
        return std::nullopt;
    }
    const std::size_t start = body.find('#');
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    if (body.size() - start < RecordLength) {
        return std::nullopt;
    }
    const std::string_view record = body.substr(start, RecordLength);
    for (const auto& [offset, expected] : FixedCharacters) {
        if (record[offset] != expected) {
            return std::nullopt;
        }
    }
    for (const std::size_t field : {MajorAt, MinorAt, LetterAt}) {
        if (record.substr(field, FieldWidth) !=
            record.substr(field + SecondCopyOffset, FieldWidth)) {
            return std::nullopt;
        }
    }
    for (const std::size_t field : {MajorAt, MinorAt, LetterAt}) {
        for (std::size_t i = 0; i < FieldWidth; ++i) {
            if (!IsDigit(record[field + i])) {
                return std::nullopt;
            }
        }
    }
    return VersionNumber{FieldValue(record, MajorAt), FieldValue(record, MinorAt),
                         FieldValue(record, LetterAt)};
}

}  // namespace vyx
