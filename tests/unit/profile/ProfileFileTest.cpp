#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ConfigImage.h"
#include "EditorChecks.h"
#include "EditorPresets.h"
#include "ProfileFile.h"

namespace vyx {
namespace {

// The default values as a profile, written out by hand.
const std::string DefaultsProfile = R"({
  "format_version": 1,
  "ping": { "period_s": 180 },
  "rs232_a": { "bit_rate": 115200 },
  "rs232_b": { "bit_rate": 19200 },
  "acceleration": { "max_kmh_per_s": 11, "buzzer": true, "event": true },
  "braking": { "max_kmh_per_s": 11, "buzzer": true, "event": true },
  "speed": { "max_kmh": 120, "confirm_s": 5,
    "buzzer": { "on_entry": true, "on_exit": false, "during": false },
    "event": { "on_entry": true, "on_exit": false } },
  "rain_speed": { "max_kmh": 90, "confirm_s": 5,
    "buzzer": { "on_entry": true, "on_exit": false, "during": false },
    "event": { "on_entry": true, "on_exit": false } },
  "engine_speed": { "max_rpm": 4500, "confirm_s": 5,
    "buzzer": { "on_entry": true, "on_exit": false, "during": false },
    "event": { "on_entry": true, "on_exit": false } },
  "idling": { "max_min": 6, "manoeuvre_grace_s": 7,
    "buzzer": { "on_entry": true, "on_exit": false, "during": false },
    "event": { "on_entry": true, "on_exit": false } },
  "coasting": { "min_kmh": 40, "max_rpm": 900, "confirm_s": 5,
    "buzzer": { "on_entry": true, "on_exit": false, "during": false },
    "event": { "on_entry": true, "on_exit": false } }
})";

// The record of the default values, as the device stores it.
const std::vector<std::uint8_t> DefaultsRecord = {
    0xCA, 0xFE, 0xF0, 0xDA, 0x00, 0x1E, 0x01, 0x02, 0x00, 0xB4, 0x04, 0x80, 0x00,
    0xC0, 0x0B, 0x0B, 0x0B, 0x0B, 0x0B, 0x78, 0x05, 0x0B, 0x5A, 0x05, 0x0B, 0x11,
    0x94, 0x05, 0x0B, 0x06, 0x07, 0x0B, 0x28, 0x03, 0x84, 0x05, 0x00, 0x08, 0x55};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

TEST(ProfileFile, AHandWrittenProfileEncodesToTheDefaultRecord) {
    const ProfileResult result = ProfileFile::Parse(DefaultsProfile, "p.json");
    ASSERT_TRUE(result.Editor) << ::testing::PrintToString(result.Errors);
    const auto values = ValuesFromSnapshot(*result.Editor);
    ASSERT_TRUE(values);
    const EncodedConfig encoded = EncodeConfigImage(*values);
    EXPECT_EQ(std::vector<std::uint8_t>(encoded.Image.begin(), encoded.Image.begin() + 39),
              DefaultsRecord);
}

TEST(ProfileFile, SavedAndLoadedTheEditorComesBackUnchanged) {
    const auto path = std::filesystem::temp_directory_path() / "vyx-profile-test.json";
    for (const EditorSnapshot& editor : {DefaultsSnapshot(), CalveraSnapshot()}) {
        ASSERT_FALSE(ProfileFile::Save(path.string(), editor));
        const ProfileResult loaded = ProfileFile::Load(path.string());
        ASSERT_TRUE(loaded.Editor);
        EXPECT_EQ(*loaded.Editor, editor);
    }
    std::filesystem::remove(path);
}

TEST(ProfileFile, AnEditorThatFailsItsChecksIsNotSaved) {
    EditorSnapshot editor = DefaultsSnapshot();
    editor.Text(EditorField::Vmx) = "151";
    EXPECT_FALSE(ProfileFile::Format(editor));
}

struct RefusedCase {
    const char* name;
    std::string text;
    const char* message;  // the whole first line
};

class RefusedProfile : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedProfile, NamesTheFileTheKeyAndWhatIsAllowed) {
    const ProfileResult result = ProfileFile::Parse(GetParam().text, "p.json");
    EXPECT_FALSE(result.Editor);
    ASSERT_FALSE(result.Errors.empty());
    EXPECT_EQ(result.Errors.front(), GetParam().message);
}

const RefusedCase RefusedCases[] = {
    {"Unknown", Replace(DefaultsProfile, "\"max_kmh\": 120", "\"max_kmh\": 120, \"limit\": 1"),
     "p.json: speed.limit: unknown key"},
    {"Missing", Replace(DefaultsProfile, "\"max_rpm\": 900, ", ""),
     "p.json: coasting.max_rpm: missing (allowed: a whole number from 300 to 1000)"},
    {"WrongType", Replace(DefaultsProfile, "\"max_kmh\": 120", "\"max_kmh\": \"120\""),
     "p.json: speed.max_kmh: wrong type: string (allowed: a whole number from 0 to 150)"},
    {"NotWhole", Replace(DefaultsProfile, "\"max_kmh\": 120", "\"max_kmh\": 120.5"),
     "p.json: speed.max_kmh: wrong type: number (allowed: a whole number from 0 to 150)"},
    {"BoxType", Replace(DefaultsProfile, "\"buzzer\": true", "\"buzzer\": 1"),
     "p.json: acceleration.buzzer: wrong type: number (allowed: true or false)"},
    {"OutOfRange", Replace(DefaultsProfile, "\"max_kmh\": 120", "\"max_kmh\": 151"),
     "p.json: speed.max_kmh: 151 is out of range (allowed: a whole number from 0 to 150)"},
    {"Negative", Replace(DefaultsProfile, "\"max_min\": 6", "\"max_min\": -1"),
     "p.json: idling.max_min: -1 is out of range (allowed: a whole number from 1 to 255)"},
    {"NotAChoice", Replace(DefaultsProfile, "\"bit_rate\": 19200", "\"bit_rate\": 19201"),
     "p.json: rs232_b.bit_rate: 19201 is not allowed (allowed: one of 9600, 19200, 57600, 115200)"},
    {"DuranteWithEntrada",
     Replace(DefaultsProfile, "\"on_exit\": false, \"during\": false",
             "\"on_exit\": false, \"during\": true"),
     "p.json: speed.buzzer.during: cannot be true together with speed.buzzer.on_entry "
     "(allowed: true only when both are false)"},
    {"GroupAsValue", Replace(DefaultsProfile, "\"ping\": { \"period_s\": 180 }", "\"ping\": 180"),
     "p.json: ping: must be a group of keys, not a single value"},
    {"Version", Replace(DefaultsProfile, "\"format_version\": 1", "\"format_version\": 2"),
     "p.json: format_version: version 2 is not supported (allowed: 1)"},
    {"NotJson", "{ \"format_version\": 1,", "p.json: not a JSON document"},
    {"NotAGroup", "[1, 2]", "p.json: not a profile: the document is not a group of keys"},
};

INSTANTIATE_TEST_SUITE_P(EachKind, RefusedProfile, ::testing::ValuesIn(RefusedCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileFile, ContentsAboveTheSizeLimitAreRefusedUnread) {
    std::string text = DefaultsProfile;
    text.resize(ProfileFile::MaxFileSize, ' ');
    EXPECT_TRUE(ProfileFile::ParseContents(text, "p.json").Editor);
    text += ' ';
    const ProfileResult result = ProfileFile::ParseContents(text, "p.json");
    EXPECT_FALSE(result.Editor);
    EXPECT_EQ(result.Errors, std::vector<std::string>{
                                 "p.json: too large for a profile (allowed: up to 65536 bytes)"});
}

TEST(ProfileFile, EveryReasonIsALineOfTheRefusal) {
    const ProfileResult result =
        ProfileFile::Parse(Replace(Replace(DefaultsProfile, "\"max_rpm\": 900, ", ""),
                                   "\"max_kmh\": 120", "\"max_kmh\": 151"),
                           "p.json");
    EXPECT_EQ(
        RefusalText(result),
        "p.json: speed.max_kmh: 151 is out of range (allowed: a whole number from 0 to 150)\r\n"
        "p.json: coasting.max_rpm: missing (allowed: a whole number from 300 to 1000)");
}

}  // namespace
}  // namespace vyx
