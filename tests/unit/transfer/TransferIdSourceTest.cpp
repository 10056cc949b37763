#include <gtest/gtest.h>

#include <vector>

#include "TransferIdSource.h"

namespace vyx {
namespace {

// A run whose seed mixes nothing in, so identifiers follow the clock alone.
std::uint32_t NoSeed() {
    return 0;
}

std::tm At(int day, int month, int year, int hours, int minutes, int seconds) {
    std::tm t{};
    t.tm_mday = day;
    t.tm_mon = month - 1;
    t.tm_year = year - 1900;
    t.tm_hour = hours;
    t.tm_min = minutes;
    t.tm_sec = seconds;
    return t;
}

TEST(TransferIdSource, ClockTextIsDateThenTimeWithoutSeparatorBetween) {
    EXPECT_EQ(TransferIdSource::ClockText(At(9, 1, 2027, 7, 5, 3)), "09/01/202707:05:03");
}

TEST(TransferIdSource, ShiftRotatesFiveToElevenOverTheSameClockText) {
    TransferIdSource ids([] { return At(19, 11, 2027, 21, 53, 7); }, nullptr, NoSeed);
    std::vector<std::uint32_t> drawn;
    for (int i = 0; i < 8; ++i) {
        drawn.push_back(ids.MakeTransferId(0xFFFF));
    }
    // Product of the signed codes of "19/11/202721:5", 0x9D428500, shifted 5 .. 11, then 5.
    EXPECT_EQ(drawn,
              (std::vector<std::uint32_t>{5160, 2580, 34058, 17029, 41282, 20641, 43088, 5160}));
    EXPECT_EQ(ids.TransferIdShift(), 6);
}

TEST(TransferIdSource, SecondsAndUnitsOfMinutesDoNotTakePart) {
    TransferIdSource a([] { return At(19, 11, 2027, 21, 53, 7); }, nullptr, NoSeed);
    TransferIdSource b([] { return At(19, 11, 2027, 21, 59, 48); }, nullptr, NoSeed);
    EXPECT_EQ(a.MakeTransferId(0xFFFF), b.MakeTransferId(0xFFFF));
}

TEST(TransferIdSource, ZeroProductFallsBackToTheRandomSource) {
    // "08/08/200808:0" holds enough factors of two to make the product 0.
    std::uint32_t next = 70000;
    TransferIdSource ids([] { return At(8, 8, 2008, 8, 0, 0); }, [&next] { return next++; },
                         NoSeed);
    EXPECT_EQ(ids.MakeTransferId(0xFFFF), 70000u % 0xFFFF);
    EXPECT_EQ(ids.MakeTransferId(0), 0u);
    EXPECT_EQ(ids.TransferIdShift(), 7);  // the shift moves on regardless
}

TEST(TransferIdSource, EachRunMixesItsSeedIntoEveryDrawAndAsksForItOnce) {
    // Two runs in the same ten minutes: the shifted products are those above,
    // 5160 (0x1428) then 2580 (0x0A14); only the seed's low 16 bits count.
    const struct {
        std::uint32_t seed;
        std::vector<std::uint32_t> drawn;
    } cases[] = {
        {0x00000000, {5160, 2580}},
        {0x00001234, {0x1428 ^ 0x1234, 0x0A14 ^ 0x1234}},
        {0xABCD0001, {0x1429, 0x0A15}},
    };
    for (const auto& c : cases) {
        int asked = 0;
        TransferIdSource ids([] { return At(19, 11, 2027, 21, 53, 7); }, nullptr,
                             [&] {
                                 ++asked;
                                 return c.seed;
                             });
        EXPECT_EQ(asked, 0);
        const std::vector<std::uint32_t> drawn = {ids.MakeTransferId(0xFFFF),
                                                  ids.MakeTransferId(0xFFFF)};
        EXPECT_EQ(drawn, c.drawn) << c.seed;
        EXPECT_EQ(asked, 1);
    }
}

TEST(TransferIdSource, DefaultFallbackStaysWithinTheLimit) {
    TransferIdSource ids([] { return At(8, 8, 2008, 8, 0, 0); });
    for (int i = 0; i < 20; ++i) {
        EXPECT_LT(ids.MakeTransferId(10), 10u);
    }
}

}  // namespace
}  // namespace vyx
