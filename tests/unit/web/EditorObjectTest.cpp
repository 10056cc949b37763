// The editor as JavaScript objects: what the page hands in may hold anything,
// and what the module hands out must hold every control under its window name.

#include <emscripten/val.h>
#include <gtest/gtest.h>

#include <string>

#include "EditorObject.h"
#include "EditorPresets.h"

namespace vyx::web {
namespace {

using emscripten::val;

TEST(EditorObject, PresetsComeBackUnchangedThroughTheirObjects) {
    for (const EditorSnapshot& preset : {DefaultsSnapshot(), CalveraSnapshot()}) {
        const val object = SnapshotToObject(preset);
        EXPECT_EQ(val::global("Object").call<val>("keys", object)["length"].as<int>(), 45);
        EXPECT_EQ(SnapshotFromObject(object), preset);
    }
    const val defaults = SnapshotToObject(DefaultsSnapshot());
    EXPECT_EQ(defaults["CB_PING"].as<int>(), 8);  // 180 s
    EXPECT_EQ(defaults["ED_RPX"].as<std::string>(), "4500");
    EXPECT_TRUE(defaults["CB_BZ_VMX_IN"].isTrue());
    EXPECT_TRUE(defaults["CB_BZ_VMX_WH"].isFalse());
}

struct OddValue {
    const char* name;
    const char* control;
    val value;
};

class OddValues : public ::testing::TestWithParam<OddValue> {};

TEST_P(OddValues, ReadAsNothingChosenTypedOrChecked) {
    val object = SnapshotToObject(DefaultsSnapshot());
    object.set(GetParam().control, GetParam().value);
    const EditorSnapshot read = SnapshotFromObject(object);
    EditorSnapshot expected = DefaultsSnapshot();
    const std::string control = GetParam().control;
    if (control == "CB_PING") {
        expected.List(EditorField::Ping) = NoSelection;
    } else if (control == "ED_VMX") {
        expected.Text(EditorField::Vmx).clear();
    } else {
        expected.Acp.Buzzer = false;
    }
    EXPECT_EQ(read, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OddValues,
    ::testing::Values(OddValue{"PositionPastTheList", "CB_PING", val(10)},
                      OddValue{"NegativePosition", "CB_PING", val(-2)},
                      OddValue{"FractionalPosition", "CB_PING", val(2.5)},
                      OddValue{"PositionAsText", "CB_PING", val(std::string("3"))},
                      OddValue{"PositionNotANumber", "CB_PING", val::global("NaN")},
                      OddValue{"TextAsNumber", "ED_VMX", val(120)},
                      OddValue{"TextMissing", "ED_VMX", val::undefined()},
                      OddValue{"BoxAsText", "CB_BZ_ACP", val(std::string("true"))},
                      OddValue{"BoxAsOne", "CB_BZ_ACP", val(1)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EditorObject, NoObjectAtAllIsAnEmptyEditor) {
    for (const val& nothing : {val::null(), val::undefined(), val(std::string("editor"))}) {
        EXPECT_EQ(SnapshotFromObject(nothing), EditorSnapshot());
    }
}

TEST(EditorObject, TheBuzzerRuleTouchesOnlyTheChangedTrio) {
    EditorSnapshot editor = DefaultsSnapshot();  // every "Entrada" buzzer box checked
    editor.Triple(TripleCondition::Rpx).BuzzerWhile = true;
    const EditorSnapshot coupled = CoupleBuzzer(editor, "CB_BZ_RPX_WH");
    EXPECT_EQ(coupled.Triple(TripleCondition::Rpx), (TripleBoxes{false, false, true, true, false}));
    EXPECT_TRUE(coupled.Triple(TripleCondition::Vmx).BuzzerIn);
    EXPECT_EQ(CoupleBuzzer(editor, "CB_EV_RPX_IN"), editor);  // an event box: no rule
    EXPECT_EQ(CoupleBuzzer(editor, "CB_BZ_XYZ_WH"), editor);
}

TEST(EditorObject, TheFirstFailingCheckNamesItsControl) {
    EditorSnapshot editor = DefaultsSnapshot();
    EXPECT_TRUE(CheckEditor(editor).isNull());
    editor.Text(EditorField::Vmx) = "151";
    const val failure = CheckEditor(editor);
    EXPECT_EQ(failure["control"].as<std::string>(), "ED_VMX");
    EXPECT_EQ(failure["caption"].as<std::string>(), "Erro");
    EXPECT_EQ(failure["message"].as<std::string>(), "Parâmetro inválido!\r\n[Velocidade]");
}

TEST(EditorObject, LayoutRowsCarryWhatEachKindNeeds) {
    const val rows = LayoutRows();
    ASSERT_EQ(rows["length"].as<int>(), 23);
    const val b232 = rows[2];
    EXPECT_EQ(b232["control"].as<std::string>(), "CB_B232");
    EXPECT_EQ(b232["group"].as<std::string>(), "GB_Config");
    EXPECT_EQ(b232["label"].as<std::string>(), "RS232-B:");
    EXPECT_EQ(b232["choices"][3].as<std::string>(), "115200");
    EXPECT_TRUE(b232["min"].isUndefined());

    const val rbgl = rows[21];
    EXPECT_EQ(rbgl["control"].as<std::string>(), "ED_RBGL");
    EXPECT_EQ(rbgl["kind"].as<std::string>(), "value");
    EXPECT_EQ(rbgl["groupCaption"].as<std::string>(), " CONDUÇÃO DESENGRENADA (banguela) ");
    EXPECT_EQ(rbgl["min"].as<int>(), 300);
    EXPECT_EQ(rbgl["max"].as<int>(), 1000);
    EXPECT_EQ(rbgl["maxLength"].as<int>(), 4);
    EXPECT_EQ(rbgl["spin"]["max"].as<int>(), 1500);
    EXPECT_EQ(rbgl["key"].as<std::string>(), "coasting.max_rpm");

    const val acp = rows[5];
    EXPECT_EQ(acp["kind"].as<std::string>(), "singleAction");
    EXPECT_EQ(acp["boxes"][1]["control"].as<std::string>(), "CB_EV_ACP");
    EXPECT_EQ(acp["boxes"][1]["caption"].as<std::string>(), "REGISTRAR EVENTO");
    EXPECT_TRUE(acp["boxes"][1]["buzzer"].isFalse());
}

}  // namespace
}  // namespace vyx::web
