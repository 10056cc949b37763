#include <gtest/gtest.h>

#include <ostream>

#include "EditorPresets.h"
#include "RemoteCommands.h"

namespace vyx {
namespace {

using F = EditorField;
using Lines = std::vector<std::string>;

TEST(RemoteCommandsTest, DefaultsGiveTheNineKnownLines) {
    const RemoteCommandList list = MakeRemoteCommandList(DefaultsSnapshot());
    EXPECT_EQ(list.Lines, (Lines{
                              "Comandos de configuração remota:",
                              "#CPI[180]46______________PING",
                              "#CBR[19200]4C____________RS232-B",
                              "#CACP[11,11]18___________Aceleração",
                              "#CACN[11,11]06___________Desaceleração",
                              "#CVMX[120,5,11]23________Velocidade",
                              "#CVCH[90,5,11]07_________Velocidade na chuva",
                              "#CRPX[4500,5,11]08_______Rotação do motor",
                              "#COCS[6,7,11]38__________Ociosidade do motor",
                              "#CBGL[40,900,5,11]0B_____Banguela",
                          }));
    EXPECT_TRUE(list.FieldsToEmpty.empty());
}

TEST(RemoteCommandsTest, CalveraGivesItsKnownLines) {
    const Lines lines = MakeRemoteCommandList(CalveraSnapshot()).Lines;
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[1], "#CPI[60]79_______________PING");
    EXPECT_EQ(lines[3], "#CACP[11,01]19___________Aceleração");
    EXPECT_EQ(lines[5], "#CVMX[100,10,03]16_______Velocidade");
    EXPECT_EQ(lines[9], "#CBGL[40,900,5,03]08_____Banguela");
}

TEST(RemoteCommandsTest, EmptyEditorListsTheFirstErrorOfEveryCommand) {
    const RemoteCommandList list = MakeRemoteCommandList(EditorSnapshot{});
    EXPECT_EQ(list.Lines, (Lines{
                              "Comandos de configuração remota:",
                              "Parâmetro inválido! [PING]",
                              "Parâmetro inválido! [RS232-B]",
                              "Parâmetro inválido! [Aceleração]",
                              "Parâmetro inválido! [Desaceleração]",
                              "Parâmetro inválido! [Velocidade]",
                              "Parâmetro inválido! [Velocidade na Chuva]",
                              "Parâmetro inválido! [Rotação do Motor]",
                              "Parâmetro inválido! [Tempo ociosidade]",
                              "Parâmetro inválido! [Velocidade min. Banguela]",
                          }));
    EXPECT_EQ(list.FieldsToEmpty,
              (std::vector<EditorField>{F::Acp, F::Acn, F::Vmx, F::Vch, F::Rpx, F::Tosc, F::Vbgl}));
}

struct Variation {
    const char* Name;
    void (*Edit)(EditorSnapshot&);
    std::size_t Line;
    const char* Expected;
    std::vector<EditorField> Emptied;
};
void PrintTo(const Variation& p, std::ostream* os) {
    *os << p.Name;
}

class RemoteVariationTest : public ::testing::TestWithParam<Variation> {};

TEST_P(RemoteVariationTest, LineFollowsTheEditor) {
    const Variation& v = GetParam();
    EditorSnapshot editor = DefaultsSnapshot();
    v.Edit(editor);
    const RemoteCommandList list = MakeRemoteCommandList(editor);
    ASSERT_EQ(list.Lines.size(), 10u);
    EXPECT_EQ(list.Lines[v.Line], v.Expected);
    EXPECT_EQ(list.FieldsToEmpty, v.Emptied);
}

INSTANTIATE_TEST_SUITE_P(
    Editor, RemoteVariationTest,
    ::testing::Values(Variation{"LeadingZeroKept",
                                [](EditorSnapshot& e) { e.Text(F::Tvmx) = "05"; },
                                5,
                                "#CVMX[120,05,11]13_______Velocidade",
                                {}},
                      Variation{"FirstBadFieldStopsItsCommand",
                                [](EditorSnapshot& e) {
                                    e.Text(F::Vmx) = "151";
                                    e.Text(F::Tvmx) = "x";
                                },
                                5,
                                "Parâmetro inválido! [Velocidade]",
                                {F::Vmx}},
                      Variation{"SecondFieldChecked",
                                [](EditorSnapshot& e) { e.Text(F::Xosc) = "61"; },
                                8,
                                "Parâmetro inválido! [Tempo excessão manobra]",
                                {F::Xosc}},
                      Variation{"NoBoxesGiveZeroZero",
                                [](EditorSnapshot& e) { e.Triple(TripleCondition::Vch) = {}; },
                                6,
                                "#CVCH[90,5,00]07_________Velocidade na chuva",
                                {}},
                      Variation{"DuranteWithBothEventsGive43",
                                [](EditorSnapshot& e) {
                                    e.Triple(TripleCondition::Rpx) = {
                                        .BuzzerWhile = true, .EventIn = true, .EventOut = true};
                                },
                                7,
                                "#CRPX[4500,5,43]0F_______Rotação do motor",
                                {}},
                      Variation{"AccelerationAboveOneByteRefused",
                                [](EditorSnapshot& e) { e.Text(F::Acp) = "256"; },
                                3,
                                "Parâmetro inválido! [Aceleração]",
                                {F::Acp}},
                      Variation{"BrakingAboveOneByteRefused",
                                [](EditorSnapshot& e) { e.Text(F::Acn) = "999"; },
                                4,
                                "Parâmetro inválido! [Desaceleração]",
                                {F::Acn}},
                      Variation{"ListsAreReportedButNeverEmptied",
                                [](EditorSnapshot& e) { e.List(F::B232) = NoSelection; },
                                2,
                                "Parâmetro inválido! [RS232-B]",
                                {}},
                      Variation{"RS232AHasNoCommand",
                                [](EditorSnapshot& e) { e.List(F::A232) = NoSelection; },
                                2,
                                "#CBR[19200]4C____________RS232-B",
                                {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(RemoteCommandsTest, FillStopsAtTwentyFiveCharacters) {
    EXPECT_EQ(RemoteCommandLine("#CBGL[1000,1000,30,43]", "B"), "#CBGL[1000,1000,30,43]07_B");
    EXPECT_EQ(RemoteCommandLine("#CBGL[1000,1000,300,43]", "B"), "#CBGL[1000,1000,300,43]37B");
    EXPECT_EQ(RemoteCommandLine("#CBGL[1000,1000,3000,43]", "B"), "#CBGL[1000,1000,3000,43]07B");
}

}  // namespace
}  // namespace vyx
