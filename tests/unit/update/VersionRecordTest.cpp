#include "VersionRecord.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "MakerSite.h"

namespace vyx {
namespace {

// A well-formed record of the tool's own version, 32 characters.
const std::string OwnRecord = "#*$(002.039.067@@002.039.067)$*#";

struct RecordCase {
    const char* Name;
    std::string Body;
    std::optional<VersionNumber> Expected;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const RecordCase& c, std::ostream* os) {
    *os << c.Name;
}

class VersionRecordTable : public testing::TestWithParam<RecordCase> {};

TEST_P(VersionRecordTable, ReadsOnlyWellFormedRecords) {
    const RecordCase& c = GetParam();
    EXPECT_EQ(VersionRecord::Parse(c.Body), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, VersionRecordTable,
    testing::Values(
        RecordCase{"OwnVersionWithOneMoreCharacter", OwnRecord + "\n", VersionNumber{2, 39, 'C'}},
        RecordCase{"ExactlyARecordIsTooShort", OwnRecord, std::nullopt},
        RecordCase{"NewerVersion", "<pre>#*$(002.040.068@@002.040.068)$*#</pre>",
                   VersionNumber{2, 40, 'D'}},
        RecordCase{"OlderVersion", "x#*$(002.038.065@@002.038.065)$*#", VersionNumber{2, 38, 'A'}},
        RecordCase{"FieldOfOneHundred", "#*$(100.000.999@@100.000.999)$*#\r\n",
                   VersionNumber{100, 0, 999}},
        RecordCase{"LongestJudgedBody", OwnRecord + std::string(467, ' '),
                   VersionNumber{2, 39, 'C'}},
        RecordCase{"BodyOf500IsTooLong", OwnRecord + std::string(468, ' '), std::nullopt},
        RecordCase{"HashBeforeTheRecord", "#" + OwnRecord, std::nullopt},
        RecordCase{"NoHash", std::string(40, '0'), std::nullopt},
        RecordCase{"RecordCutShortByTheEnd", "abcd" + OwnRecord.substr(0, 31), std::nullopt},
        RecordCase{"SecondCopyLetterDiffers", "#*$(002.039.067@@002.039.068)$*#\n", std::nullopt},
        RecordCase{"LetterInsteadOfDigitInBothCopies", "#*$(002.0A9.067@@002.0A9.067)$*#\n",
                   std::nullopt},
        RecordCase{"SignInBothCopies", "#*$(-02.039.067@@-02.039.067)$*#\n", std::nullopt},
        RecordCase{"MisplacedSeparator", "#*$(002.039.067@#002.039.067)$*#\n", std::nullopt},
        RecordCase{"MisplacedClosingHash", "#*$(002.039.067@@002.039.067)$**\n", std::nullopt},
        RecordCase{"NulBeforeTheRecord", std::string("\0", 1) + OwnRecord,
                   VersionNumber{2, 39, 'C'}}),
    [](const testing::TestParamInfo<RecordCase>& info) { return info.param.Name; });

struct AddressCase {
    const char* Name;
    VersionNumber Version;
    const char* Expected;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const AddressCase& c, std::ostream* os) {
    *os << c.Name;
}

class DownloadAddressTable : public testing::TestWithParam<AddressCase> {};

TEST_P(DownloadAddressTable, BuildsThePathFromTheNumbersOnly) {
    const MakerSite site("https://maker.test");
    EXPECT_EQ(site.DownloadUrl(GetParam().Version), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, DownloadAddressTable,
    testing::Values(
        AddressCase{"Newer", {2, 40, 'D'}, "https://maker.test/files/VyxTool%20v2.40.D.exe"},
        AddressCase{"Older", {2, 38, 'A'}, "https://maker.test/files/VyxTool%20v2.38.A.exe"},
        AddressCase{
            "WideNumbers", {100, 999, 'z'}, "https://maker.test/files/VyxTool%20v100.999.z.exe"},
        // Letter codes of characters that would end or redirect the address.
        AddressCase{
            "SlashLetter", {2, 40, '/'}, "https://maker.test/files/VyxTool%20v2.40.%2F.exe"},
        AddressCase{"HashLetter", {2, 40, '#'}, "https://maker.test/files/VyxTool%20v2.40.%23.exe"},
        AddressCase{
            "QuestionLetter", {2, 40, '?'}, "https://maker.test/files/VyxTool%20v2.40.%3F.exe"},
        AddressCase{
            "PercentLetter", {2, 40, '%'}, "https://maker.test/files/VyxTool%20v2.40.%25.exe"},
        AddressCase{"NulLetter", {2, 40, 0}, "https://maker.test/files/VyxTool%20v2.40.%00.exe"},
        AddressCase{
            "EightBitLetter", {2, 40, 199}, "https://maker.test/files/VyxTool%20v2.40.%C7.exe"},
        // As "%c" prints it: the code's low byte.
        AddressCase{
            "CodeAbove255", {2, 40, 323}, "https://maker.test/files/VyxTool%20v2.40.C.exe"}),
    [](const testing::TestParamInfo<AddressCase>& info) { return info.param.Name; });

TEST(MakerSite, AddsTheFilesUnderTheServerWithOrWithoutClosingSlash) {
    for (const char* base : {"https://maker.test", "https://maker.test/"}) {
        const MakerSite site(base);
        EXPECT_EQ(site.VersionFileUrl(), "https://maker.test/files/vyxtool.ver");
        EXPECT_EQ(site.ProductPageUrl(), "https://maker.test/vyx");
    }
}

TEST(MakerSite, BuildSettingIsAnHttpsServer) {
    EXPECT_EQ(MakerSite::Default().BaseUrl().rfind("https://", 0), 0U);
}

}  // namespace
}  // namespace vyx
