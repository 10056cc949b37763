#include <gtest/gtest.h>

#include <ostream>

#include "EditorChecks.h"
#include "EditorPresets.h"

namespace vyx {
namespace {

using F = EditorField;

struct FieldEdge {
    EditorField Field;
    const char* Text;
    bool Passes;
};
void PrintTo(const FieldEdge& p, std::ostream* os) {
    *os << '"' << p.Text << '"';
}

class WriteCheckEdgeTest : public ::testing::TestWithParam<FieldEdge> {};

TEST_P(WriteCheckEdgeTest, ValueAtTheEdgeOfItsLimit) {
    const FieldEdge& edge = GetParam();
    EditorSnapshot editor = DefaultsSnapshot();
    editor.Text(edge.Field) = edge.Text;
    const auto failure = FirstFailingCheck(editor);
    if (edge.Passes) {
        EXPECT_FALSE(failure.has_value()) << failure->Message;
    } else {
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->Field, edge.Field);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, WriteCheckEdgeTest,
    ::testing::Values(FieldEdge{F::Vmx, "0", true}, FieldEdge{F::Vmx, "150", true},
                      FieldEdge{F::Vmx, "151", false}, FieldEdge{F::Vmx, " 120", false},
                      FieldEdge{F::Vmx, "", false}, FieldEdge{F::Tvmx, "+5", false},
                      FieldEdge{F::Tvmx, "60", true}, FieldEdge{F::Tvmx, "61", false},
                      FieldEdge{F::Vch, "150", true}, FieldEdge{F::Tvch, "61", false},
                      FieldEdge{F::Rpx, "999", false}, FieldEdge{F::Rpx, "1000", true},
                      FieldEdge{F::Rpx, "9999", true}, FieldEdge{F::Rpx, "65536", false},
                      FieldEdge{F::Trpx, "60", true}, FieldEdge{F::Tosc, "00", false},
                      FieldEdge{F::Tosc, "01", true}, FieldEdge{F::Xosc, "61", false},
                      FieldEdge{F::Rbgl, "1000", true}, FieldEdge{F::Rbgl, "1001", false},
                      FieldEdge{F::Rbgl, "299", false}, FieldEdge{F::Rbgl, "300", true},
                      FieldEdge{F::Tbgl, "30", true}, FieldEdge{F::Tbgl, "31", false},
                      // One-byte record fields refuse what the byte cannot hold.
                      FieldEdge{F::Acp, "255", true}, FieldEdge{F::Acp, "256", false},
                      FieldEdge{F::Acn, "999", false}, FieldEdge{F::Acn, "0", true},
                      FieldEdge{F::Vbgl, "255", true}, FieldEdge{F::Vbgl, "300", false},
                      FieldEdge{F::Vbgl, "0", false},
                      FieldEdge{F::Vmx, "99999999999999999999", false},
                      FieldEdge{F::Vmx, "0000000000000000000000120", true},
                      FieldEdge{F::Vmx, "１２０", false}, FieldEdge{F::Vmx, "12a", false}));

TEST(WriteCheckTest, LeadingZerosAreReadAsDecimal) {
    EditorSnapshot editor = DefaultsSnapshot();
    editor.Text(F::Tosc) = "01";
    editor.Text(F::Rpx) = "04500";
    const auto values = ValuesFromSnapshot(editor);
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ((*values)[RecordField::Tosc], 1);
    EXPECT_EQ((*values)[RecordField::Rpx], 4500);
}

// Each field in turn holds a bad value while every later field is bad too: the
// first bad one in record order is reported, with its own message.
TEST(WriteCheckTest, ThirteenChecksRunInRecordOrderWithTheirMessages) {
    const std::vector<std::pair<EditorField, std::string>> expected = {
        {F::Acp, "Parâmetro inválido!\r\n[Aceleração]"},
        {F::Acn, "Parâmetro inválido!\r\n[Desaceleração]"},
        {F::Vmx, "Parâmetro inválido!\r\n[Velocidade]"},
        {F::Tvmx, "Parâmetro inválido!\r\n[Tempo validação Velocidade]"},
        {F::Vch, "Parâmetro inválido!\r\n[Velocidade na Chuva]"},
        {F::Tvch, "Parâmetro inválido!\r\n[Tempo validação Velocidade na Chuva]"},
        {F::Rpx, "Parâmetro inválido!\r\n[Rotação do Motor]"},
        {F::Trpx, "Parâmetro inválido!\r\n[Tempo validação Rotação]"},
        {F::Tosc, "Parâmetro inválido!\r\n[Tempo osciosidade]"},
        {F::Xosc, "Parâmetro inválido!\r\n[Tempo excessão manobra]"},
        {F::Vbgl, "Parâmetro inválido!\r\n[Velocidade min. Banguela]"},
        {F::Rbgl, "Parâmetro inválido!\r\n[Rotação max. Banguela]"},
        {F::Tbgl, "Parâmetro inválido!\r\n[Tempo validação Banguela]"},
        {F::Ping, "Parâmetro inválido!\r\n[PING]"},
        {F::A232, "Parâmetro inválido!\r\n[RS232-A]"},
        {F::B232, "Parâmetro inválido!\r\n[RS232-B]"},
    };
    EditorSnapshot editor;  // as at start: empty fields, no selections
    for (const auto& [field, message] : expected) {
        const auto failure = FirstFailingCheck(editor);
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->Field, field);
        EXPECT_EQ(failure->Message, message);
        EXPECT_EQ(failure->EmptiesField(), !IsList(field));
        // Mend this field and move on to the next.
        if (IsList(field)) {
            editor.List(field) = 0;
        } else {
            editor.Text(field) = DefaultsSnapshot().Text(field);
        }
    }
    EXPECT_FALSE(FirstFailingCheck(editor).has_value());
}

TEST(WriteCheckTest, ListPositionOutsideItsTableIsRefusedLikeNoSelection) {
    EditorSnapshot editor = DefaultsSnapshot();
    editor.List(F::B232) = 4;
    ASSERT_TRUE(FirstFailingCheck(editor).has_value());
    EXPECT_EQ(FirstFailingCheck(editor)->Field, F::B232);
    EXPECT_FALSE(ValuesFromSnapshot(editor).has_value());
}

TEST(BuzzerCouplingTest, DuranteAndTheOtherBuzzerBoxesExcludeEachOther) {
    TripleBoxes boxes;
    boxes.BuzzerIn = true;
    ApplyBuzzerCoupling(boxes, BuzzerBox::In);
    boxes.BuzzerOut = true;
    ApplyBuzzerCoupling(boxes, BuzzerBox::Out);
    boxes.BuzzerWhile = true;
    ApplyBuzzerCoupling(boxes, BuzzerBox::While);
    EXPECT_EQ(boxes, (TripleBoxes{.BuzzerWhile = true}));
    boxes.BuzzerOut = true;
    ApplyBuzzerCoupling(boxes, BuzzerBox::Out);
    EXPECT_EQ(boxes, (TripleBoxes{.BuzzerOut = true}));
    // Unchecking changes nothing else; event boxes are never touched.
    boxes.EventIn = true;
    boxes.BuzzerOut = false;
    ApplyBuzzerCoupling(boxes, BuzzerBox::Out);
    EXPECT_EQ(boxes, (TripleBoxes{.EventIn = true}));
}

TEST(PresetTest, NoPresetChecksDuranteTogetherWithAnotherBuzzerBox) {
    for (const EditorSnapshot& preset : {DefaultsSnapshot(), CalveraSnapshot()}) {
        EXPECT_FALSE(FirstFailingCheck(preset).has_value());
        for (const TripleBoxes& boxes : preset.Triples) {
            EXPECT_FALSE(boxes.BuzzerWhile);
        }
    }
}

}  // namespace
}  // namespace vyx
