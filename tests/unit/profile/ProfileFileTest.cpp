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

TEST(ProfileFile, ValuesThatFailTheChecksAreKeptUncheckedAndRefusedKeyByKeyOnReading) {
    EditorSnapshot editor = DefaultsSnapshot();
    editor.Text(EditorField::Vmx) = "200";
    editor.Text(EditorField::Rbgl) = "";
    const std::vector<std::string> failures = {
        "speed.max_kmh: 200 está fora do intervalo (permitido: um número inteiro de 0 a 150)",
        "coasting.max_rpm: ausente (permitido: um número inteiro de 300 a 1000)"};
    EXPECT_EQ(ProfileFile::CheckFailures(editor), failures);

    const std::string text = ProfileFile::FormatUnchecked(editor);
    EXPECT_NE(text.find("\"unchecked\": true"), std::string::npos);
    const ProfileResult read = ProfileFile::Parse(text, "p.json");
    EXPECT_FALSE(read.Editor);
    EXPECT_EQ(read.Errors, (std::vector<std::string>{
                               "p.json: perfil salvo sem verificação: não pode ser gravado "
                               "até que cada chave abaixo seja corrigida",
                               "p.json: " + failures[0], "p.json: " + failures[1]}));

    // Mended, the same file is an ordinary profile.
    const ProfileResult mended =
        ProfileFile::Parse(Replace(Replace(text, "\"max_kmh\": 200", "\"max_kmh\": 150"),
                                   "\"max_rpm\": null", "\"max_rpm\": 900"),
                           "p.json");
    ASSERT_TRUE(mended.Editor) << ::testing::PrintToString(mended.Errors);
    EXPECT_TRUE(ProfileFile::CheckFailures(*mended.Editor).empty());
    EXPECT_EQ(ProfileFile::FormatUnchecked(DefaultsSnapshot()).find("unchecked"),
              std::string::npos);
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
     "p.json: speed.limit: chave desconhecida"},
    {"Missing", Replace(DefaultsProfile, "\"max_rpm\": 900, ", ""),
     "p.json: coasting.max_rpm: ausente (permitido: um número inteiro de 300 a 1000)"},
    {"WrongType", Replace(DefaultsProfile, "\"max_kmh\": 120", "\"max_kmh\": \"120\""),
     "p.json: speed.max_kmh: tipo errado: texto (permitido: um número inteiro de 0 a 150)"},
    {"NotWhole", Replace(DefaultsProfile, "\"max_kmh\": 120", "\"max_kmh\": 120.5"),
     "p.json: speed.max_kmh: tipo errado: número (permitido: um número inteiro de 0 a 150)"},
    {"BoxType", Replace(DefaultsProfile, "\"buzzer\": true", "\"buzzer\": 1"),
     "p.json: acceleration.buzzer: tipo errado: número (permitido: true ou false)"},
    {"OutOfRange", Replace(DefaultsProfile, "\"max_kmh\": 120", "\"max_kmh\": 151"),
     "p.json: speed.max_kmh: 151 está fora do intervalo (permitido: um número inteiro de 0 a 150)"},
    {"Negative", Replace(DefaultsProfile, "\"max_min\": 6", "\"max_min\": -1"),
     "p.json: idling.max_min: -1 está fora do intervalo (permitido: um número inteiro de 1 a 255)"},
    {"NotAChoice", Replace(DefaultsProfile, "\"bit_rate\": 19200", "\"bit_rate\": 19201"),
     "p.json: rs232_b.bit_rate: 19201 não é permitido (permitido: um destes: 9600, 19200, 57600, "
     "115200)"},
    {"DuranteWithEntrada",
     Replace(DefaultsProfile, "\"on_exit\": false, \"during\": false",
             "\"on_exit\": false, \"during\": true"),
     "p.json: speed.buzzer.during: não pode ser true junto com speed.buzzer.on_entry "
     "(permitido: true só quando as duas são false)"},
    {"GroupAsValue", Replace(DefaultsProfile, "\"ping\": { \"period_s\": 180 }", "\"ping\": 180"),
     "p.json: ping: deve ser um grupo de chaves, não um valor único"},
    {"Version", Replace(DefaultsProfile, "\"format_version\": 1", "\"format_version\": 2"),
     "p.json: format_version: a versão 2 não é suportada (permitido: 1)"},
    {"NotAGroup", "[1, 2]", "p.json: não é um perfil: o documento não é um grupo de chaves"},
    {"Duplicate", Replace(DefaultsProfile, "\"max_kmh\": 120", "\"max_kmh\": 120, \"max_kmh\": 90"),
     "p.json: speed.max_kmh: chave repetida (permitido: uma só vez)"},
    {"LargestUnsigned",
     Replace(DefaultsProfile, "\"max_kmh\": 120", "\"max_kmh\": 18446744073709551615"),
     "p.json: speed.max_kmh: 18446744073709551615 está fora do intervalo (permitido: um número "
     "inteiro de 0 a 150)"},
    {"BeyondSixtyFourBits",
     Replace(DefaultsProfile, "\"period_s\": 180", "\"period_s\": -18446744073709551616"),
     "p.json: ping.period_s: -18446744073709551616 não é permitido (permitido: um destes: 5, 10, "
     "15, 30, 45, 60, 90, 120, 180, 300)"},
    {"FourHundredDigits", "{\n  \"format_version\": 1" + std::string(400, '0') + "}",
     "p.json: linha 2, coluna 21: não é um documento JSON: número grande demais para ler: "
     "1000000000000000000000000000000000000000…"},
    {"ControlCharactersInAKey",
     Replace(DefaultsProfile, "\"max_kmh\": 120",
             "\"max_kmh\": 120, \"\\u001b]0;x\\u0007\\u0000\": 1"),
     "p.json: speed.\\u001B]0;x\\u0007\\u0000: chave desconhecida"},
    {"RawControlCharacter", "{\"a\x01\": 1}",
     "p.json: linha 1, coluna 4: não é um documento JSON: caractere de controle entre aspas "
     "(escreva-o como \\u00XX)"},
    {"EndsEarly", "{ \"format_version\": 1,",
     "p.json: linha 1, coluna 23: não é um documento JSON: o documento termina antes de estar "
     "completo"},
    {"TextAfterTheEnd", "{}\n}",
     "p.json: linha 2, coluna 1: não é um documento JSON: texto depois do fim do documento"},
    {"NotUtf8", "{\"a\xFF\": 1}",
     "p.json: linha 1, coluna 4: não é um documento JSON: bytes que não são texto UTF-8"},
    {"Unexpected", "{\n format_version: 1}",
     "p.json: linha 2, coluna 2: não é um documento JSON: inesperado: format_version"},
    {"TextAfterANul", DefaultsProfile + std::string(1, '\0') + "{\"junk\": 1}",
     "p.json: linha 23, coluna 2: byte NUL: um perfil é texto UTF-8, não binário nem UTF-16"},
    {"Utf16", std::string("\xFF\xFE{\0}\0", 6),
     "p.json: linha 1, coluna 1: texto UTF-16 (começa com uma marca de ordem de bytes): um perfil "
     "é texto UTF-8"},
    {"Empty", "", "p.json: o arquivo está vazio (permitido: um documento JSON)"},
};

INSTANTIATE_TEST_SUITE_P(EachKind, RefusedProfile, ::testing::ValuesIn(RefusedCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vyx
