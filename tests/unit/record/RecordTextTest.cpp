#include <gtest/gtest.h>

#include "RecordText.h"

namespace vyx {
namespace {

TEST(KeptText, KeepsTextAsTypedRepairedAndCapped) {
    const struct {
        std::string typed;
        std::size_t cap;
        std::string kept;
    } cases[] = {
        {"Ana Souza", RecordTextCap, "Ana Souza"},
        {"\x1B[2J\t<b>", RecordTextCap, "\x1B[2J\t<b>"},  // shown inert, stored as typed
        {"a\xFF"
         "b",
         RecordTextCap,
         "a\xEF\xBF\xBD"
         "b"},
        {"\xC0\xAF", RecordTextCap, "\xEF\xBF\xBD\xEF\xBF\xBD"},  // overlong "/"
        {"çãé", 2, "çã"},
        {"abc", 3, "abc"},
        {std::string(10 * 1024 * 1024, 'x'), RecordTextCap, std::string(RecordTextCap, 'x')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeptText(c.typed, c.cap), c.kept) << c.kept.substr(0, 20);
    }
}

TEST(TimeText, WritesTheLocalClockWithItsOffset) {
    using namespace std::chrono;
    const sys_seconds noonish = sys_days{2026y / 12 / 9} + 13h + 29min + 40s;
    const struct {
        sys_seconds utc;
        minutes offset;
        std::string text;
        std::string utcText;
    } cases[] = {
        {noonish, -180min, "2026-12-09T10:29:40-03:00", "2026-12-09T13:29:40Z"},
        {noonish, 0min, "2026-12-09T13:29:40+00:00", "2026-12-09T13:29:40Z"},
        {noonish, 330min, "2026-12-09T18:59:40+05:30", "2026-12-09T13:29:40Z"},
        {sys_days{2026y / 1 / 1} + 1h, -180min, "2025-12-31T22:00:00-03:00",
         "2026-01-01T01:00:00Z"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TimeText(c.utc, c.offset), c.text);
        EXPECT_EQ(UtcText(c.text), c.utcText);
    }
    EXPECT_TRUE(IsTimeText(NowText()));
    EXPECT_EQ(UtcText("2026-02-30T10:00:00-03:00"), "");
    EXPECT_EQ(UtcText("2026-12-09T10:29"), "");
}

TEST(GroupedNumber, GroupsThousandsWithDots) {
    const struct {
        std::uint64_t value;
        std::string text;
    } cases[] = {{0, "0"}, {999, "999"}, {1000, "1.000"}, {1861, "1.861"}, {1234567, "1.234.567"}};
    for (const auto& c : cases) {
        EXPECT_EQ(GroupedNumber(c.value), c.text);
    }
}

TEST(NewVisitUuid, IsARandomVersionFourIdentifier) {
    const std::string first = NewVisitUuid();
    ASSERT_TRUE(IsVisitUuid(first)) << first;
    EXPECT_EQ(first[14], '4');
    EXPECT_NE(std::string("89ab").find(first[19]), std::string::npos) << first;
    EXPECT_NE(NewVisitUuid(), first);
}

}  // namespace
}  // namespace vyx
