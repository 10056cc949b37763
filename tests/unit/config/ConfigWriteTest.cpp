#include <gtest/gtest.h>

#include <ostream>

#include "ConfigWrite.h"
#include "EditorPresets.h"
#include "FakeConfigHost.h"
#include "FakeHost.h"

namespace vyx {
namespace {

using F = EditorField;

class ConfigWriteTest : public ::testing::Test {
protected:
    test::FakeHost host;
    test::FakeConfigHost editor;
    std::vector<std::pair<std::vector<std::uint8_t>, ConfigCheckValues>> started;
    ConfigWrite write{
        host, editor, [this](std::span<const std::uint8_t> image, const ConfigCheckValues& check) {
            started.emplace_back(std::vector<std::uint8_t>(image.begin(), image.end()), check);
        }};
};

TEST_F(ConfigWriteTest, CheckedEditorIsEncodedAndHandedToTheTransfer) {
    editor.Editor = DefaultsSnapshot();
    EXPECT_TRUE(write.B_SetConfigClick());
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].first.size(), ConfigImageSize);
    EXPECT_TRUE(
        std::equal(started[0].first.begin(), started[0].first.end(), write.Image().begin()));
    EXPECT_EQ(started[0].second, (ConfigCheckValues{0x53, 0x00, 0x07, 0xC9, 0xE9}));
    EXPECT_TRUE(host.Messages.empty());
}

struct Refusal {
    const char* Name;
    void (*Edit)(EditorSnapshot&);
    const char* Message;
    std::vector<EditorField> Emptied;
};
void PrintTo(const Refusal& p, std::ostream* os) {
    *os << p.Name;
}

class ConfigWriteRefusalTest : public ConfigWriteTest,
                               public ::testing::WithParamInterface<Refusal> {};

TEST_P(ConfigWriteRefusalTest, FailedCheckShowsItsMessageAndSendsNothing) {
    const Refusal& r = GetParam();
    editor.Editor = DefaultsSnapshot();
    r.Edit(editor.Editor);
    const EditorSnapshot before = editor.Editor;
    EXPECT_FALSE(write.B_SetConfigClick());
    EXPECT_TRUE(started.empty());
    EXPECT_TRUE(host.Written.empty());
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Text, r.Message);
    EXPECT_EQ(host.Messages[0].Caption, "Erro");
    EXPECT_EQ(host.Messages[0].Icon, MsgIcon::Warning);
    EXPECT_EQ(host.Messages[0].Buttons, MsgButtons::Ok);
    EXPECT_EQ(editor.Emptied, r.Emptied);
    // Only the failing edit changes.
    EditorSnapshot expected = before;
    for (const EditorField field : r.Emptied) {
        expected.Text(field).clear();
    }
    EXPECT_EQ(editor.Editor, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, ConfigWriteRefusalTest,
    ::testing::Values(Refusal{"SpeedTooHigh",
                              [](EditorSnapshot& e) { e.Text(F::Vmx) = "151"; },
                              "Parâmetro inválido!\r\n[Velocidade]",
                              {F::Vmx}},
                      Refusal{"AccelerationAboveOneByte",
                              [](EditorSnapshot& e) { e.Text(F::Acp) = "300"; },
                              "Parâmetro inválido!\r\n[Aceleração]",
                              {F::Acp}},
                      Refusal{"NoPingSelection",
                              [](EditorSnapshot& e) { e.List(F::Ping) = NoSelection; },
                              "Parâmetro inválido!\r\n[PING]",
                              {}},
                      Refusal{"NoRS232ASelection",
                              [](EditorSnapshot& e) { e.List(F::A232) = NoSelection; },
                              "Parâmetro inválido!\r\n[RS232-A]",
                              {}},
                      Refusal{"NoRS232BSelection",
                              [](EditorSnapshot& e) { e.List(F::B232) = NoSelection; },
                              "Parâmetro inválido!\r\n[RS232-B]",
                              {}},
                      Refusal{"ValuesBeforeLists",
                              [](EditorSnapshot& e) {
                                  e.Lists.fill(NoSelection);
                                  e.Text(F::Tbgl) = "31";
                              },
                              "Parâmetro inválido!\r\n[Tempo validação Banguela]",
                              {F::Tbgl}}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace vyx
