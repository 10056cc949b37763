#include <gtest/gtest.h>

#include <ostream>

#include <vector>

#include "ConfigDecoder.h"
#include "ConfigImage.h"
#include "EditorChecks.h"
#include "EditorPresets.h"

namespace vyx {
namespace {

EncodedConfig Encode(const EditorSnapshot& editor) {
    const auto values = ValuesFromSnapshot(editor);
    EXPECT_TRUE(values.has_value());
    return EncodeConfigImage(values.value_or(ConfigValues{}));
}

struct WorkedExample {
    const char* Name;
    EditorSnapshot (*Snapshot)();
    std::vector<std::uint8_t> Head;
    ConfigCheckValues CheckValues;
};
void PrintTo(const WorkedExample& p, std::ostream* os) {
    *os << p.Name;
}

class EncodingTest : public ::testing::TestWithParam<WorkedExample> {};

TEST_P(EncodingTest, PresetEncodesToTheKnownBlockAndCheckValues) {
    const WorkedExample& example = GetParam();
    const EncodedConfig encoded = Encode(example.Snapshot());
    const std::vector<std::uint8_t> head(encoded.Image.begin(),
                                         encoded.Image.begin() + example.Head.size());
    EXPECT_EQ(head, example.Head);
    for (std::size_t i = example.Head.size(); i < ConfigImageSize; ++i) {
        ASSERT_EQ(encoded.Image[i], 0xFF) << "offset " << i;
    }
    EXPECT_EQ(encoded.CheckValues, example.CheckValues);
}

INSTANTIATE_TEST_SUITE_P(
    Presets, EncodingTest,
    ::testing::Values(WorkedExample{"Defaults",
                                    &DefaultsSnapshot,
                                    {0xCA, 0xFE, 0xF0, 0xDA, 0x00, 0x1E, 0x01, 0x02, 0x00, 0xB4,
                                     0x04, 0x80, 0x00, 0xC0, 0x0B, 0x0B, 0x0B, 0x0B, 0x0B, 0x78,
                                     0x05, 0x0B, 0x5A, 0x05, 0x0B, 0x11, 0x94, 0x05, 0x0B, 0x06,
                                     0x07, 0x0B, 0x28, 0x03, 0x84, 0x05, 0x00, 0x08, 0x55},
                                    {0x53, 0x00, 0x07, 0xC9, 0xE9}},
                      WorkedExample{"Calvera",
                                    &CalveraSnapshot,
                                    {0xCA, 0xFE, 0xF0, 0xDA, 0x00, 0x1E, 0x01, 0x02, 0x00, 0x3C,
                                     0x04, 0x80, 0x00, 0xC0, 0x0B, 0x0B, 0x01, 0x01, 0x03, 0x64,
                                     0x0A, 0x03, 0x50, 0x0A, 0x03, 0x11, 0x94, 0x05, 0x03, 0x01,
                                     0x07, 0x03, 0x28, 0x03, 0x84, 0x05, 0x00, 0x07, 0x88},
                                    {0x10, 0x00, 0x07, 0xC9, 0x4E}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(CalveraReferenceTest, EqualsTheRecordValuesOfTheCalveraPreset) {
    EXPECT_EQ(ValuesFromSnapshot(CalveraSnapshot()), CalveraReference);
}

// Rewrites the block's sum after an edit so that only the intended test fails.
void Reseal(ConfigImage& image) {
    const std::size_t total = ((image[4] << 8) | image[5]) + 9;
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 3 < total; ++i) {
        sum += image[i];
    }
    image[total - 3] = static_cast<std::uint8_t>(sum >> 16);
    image[total - 2] = static_cast<std::uint8_t>(sum >> 8);
    image[total - 1] = static_cast<std::uint8_t>(sum);
}

ConfigImage DefaultsImage() {
    return Encode(DefaultsSnapshot()).Image;
}

struct DecodeCase {
    const char* Name;
    void (*Edit)(ConfigImage&);  // applied to the defaults block
    bool Calvera;
    int Errors;
    bool FieldsDecoded;
};
void PrintTo(const DecodeCase& p, std::ostream* os) {
    *os << p.Name;
}

class DecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, CountsErrorsAsTheAcceptanceRulesSay) {
    const DecodeCase& c = GetParam();
    ConfigImage image = DefaultsImage();
    c.Edit(image);
    const DecodedConfig decoded = DecodeConfigImage(image, c.Calvera);
    EXPECT_EQ(decoded.ErrorCount, c.Errors);
    EXPECT_EQ(decoded.FieldsDecoded, c.FieldsDecoded);
}

void Marker(ConfigImage& im, std::array<std::uint8_t, 4> m) {
    std::copy(m.begin(), m.end(), im.begin());
    Reseal(im);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, DecodeTest,
    ::testing::Values(DecodeCase{"Unchanged", [](ConfigImage&) {}, false, 0, true},
                      DecodeCase{"OneMarkerByteSuffices",
                                 [](ConfigImage& im) {
                                     Marker(im, {0xCA, 0, 0, 0});
                                 },
                                 false, 0, true},
                      DecodeCase{"LastMarkerByteWrong",
                                 [](ConfigImage& im) {
                                     Marker(im, {0xCA, 0xFE, 0xF0, 0xDB});
                                 },
                                 false, 0, true},
                      DecodeCase{"NoMarkerByteZeros",
                                 [](ConfigImage& im) {
                                     Marker(im, {0, 0, 0, 0});
                                 },
                                 false, 1, false},
                      DecodeCase{"NoMarkerByteCounting",
                                 [](ConfigImage& im) {
                                     Marker(im, {1, 2, 3, 4});
                                 },
                                 false, 1, false},
                      DecodeCase{"SumWrong", [](ConfigImage& im) { im[38] ^= 1; }, false, 1, false},
                      DecodeCase{"LengthFillingTheBlockWithMatchingSum",
                                 [](ConfigImage& im) {
                                     im[4] = 2023 >> 8;
                                     im[5] = 2023 & 0xFF;
                                     Reseal(im);
                                 },
                                 false, 0, true},
                      DecodeCase{"LengthBeyondTheBlock",
                                 [](ConfigImage& im) {
                                     im[4] = 2024 >> 8;
                                     im[5] = 2024 & 0xFF;
                                 },
                                 false, 1, false},
                      DecodeCase{"PingAndB232NotInTheirTables",
                                 [](ConfigImage& im) {
                                     im[8] = 0, im[9] = 61;
                                     im[12] = 0, im[13] = 0;
                                     Reseal(im);
                                 },
                                 false, 2, true},
                      DecodeCase{"TripleActionDuranteWithBothEvents",
                                 [](ConfigImage& im) {
                                     im[18] = 43;
                                     Reseal(im);
                                 },
                                 false, 0, true},
                      DecodeCase{"TripleBuzzerDigitFive",
                                 [](ConfigImage& im) {
                                     im[18] = 50;
                                     Reseal(im);
                                 },
                                 false, 1, true},
                      DecodeCase{"TripleEventDigitFour",
                                 [](ConfigImage& im) {
                                     im[21] = 44;
                                     Reseal(im);
                                 },
                                 false, 1, true},
                      DecodeCase{"SingleBothDigitsTooLarge",
                                 [](ConfigImage& im) {
                                     im[16] = 22;
                                     Reseal(im);
                                 },
                                 false, 2, true},
                      DecodeCase{"SingleEventTwo",
                                 [](ConfigImage& im) {
                                     im[16] = 12;
                                     Reseal(im);
                                 },
                                 false, 1, true},
                      DecodeCase{"OutOfEditorLimitsIsNoError",
                                 [](ConfigImage& im) {
                                     im[19] = 200;
                                     Reseal(im);
                                 },
                                 false, 0, true},
                      // Defaults against Calvera: PING, VMX, TVMX, VCH, TVCH, TOSC, the two
                      // single buzzer digits and the five triple buzzer and event digits.
                      DecodeCase{"DefaultsUnderCalvera", [](ConfigImage&) {}, true, 18, true},
                      DecodeCase{"RejectedBlockUnderCalveraCountsOnce",
                                 [](ConfigImage& im) { im[38] ^= 1; }, true, 1, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(DecodeValuesTest, BlockWrittenByTheToolReadsBackAsWritten) {
    EditorSnapshot written = DefaultsSnapshot();
    written.Text(EditorField::Vmx) = "0";
    written.Text(EditorField::Rpx) = "9999";
    written.Triple(TripleCondition::Osc) = {.BuzzerWhile = true, .EventOut = true};
    written.Acn = {.Buzzer = true, .Event = false};
    written.List(EditorField::B232) = 0;
    const DecodedConfig decoded = DecodeConfigImage(Encode(written).Image, false);
    ASSERT_TRUE(decoded.Accepted());
    EditorSnapshot read;  // as right after the start of a read
    MergeDecoded(read, decoded);
    EXPECT_EQ(read, written);
}

TEST(DecodeValuesTest, CalveraPresetIsAcceptedUnderCalvera) {
    EXPECT_TRUE(DecodeConfigImage(Encode(CalveraSnapshot()).Image, true).Accepted());
}

TEST(DecodeValuesTest, FieldsInErrorLeaveTheirControlsAsTheyWere) {
    ConfigImage image = DefaultsImage();
    image[8] = 0, image[9] = 61;  // PING not in its table
    image[16] = 21;               // ACP buzzer digit 2: error; event digit 1
    image[18] = 50;               // VMX buzzer digit 5: error; event digit 0
    Reseal(image);
    const DecodedConfig decoded = DecodeConfigImage(image, false);
    EXPECT_EQ(decoded.ErrorCount, 3);

    EditorSnapshot editor;
    editor.List(EditorField::Ping) = 2;
    editor.Acp = {.Buzzer = true, .Event = false};
    editor.Triple(TripleCondition::Vmx) = {.BuzzerWhile = true, .EventIn = true};
    MergeDecoded(editor, decoded);
    EXPECT_EQ(editor.List(EditorField::Ping), 2);
    EXPECT_EQ(editor.List(EditorField::A232), 3);
    EXPECT_EQ(editor.Acp, (SingleBoxes{.Buzzer = true, .Event = true}));
    EXPECT_EQ(editor.Triple(TripleCondition::Vmx), (TripleBoxes{.BuzzerWhile = true}));
    EXPECT_EQ(editor.Text(EditorField::Rpx), "4500");
}

TEST(DecodeValuesTest, RejectedBlockChangesNoControl) {
    ConfigImage image = DefaultsImage();
    image[0] = image[1] = image[2] = image[3] = 0;
    EditorSnapshot editor = CalveraSnapshot();
    MergeDecoded(editor, DecodeConfigImage(image, false));
    EXPECT_EQ(editor, CalveraSnapshot());
}

}  // namespace
}  // namespace vyx
