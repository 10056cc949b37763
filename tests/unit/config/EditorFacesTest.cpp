// The editor's faces and box names against the record table: every door builds
// its editor from both, so a row without its face, or a box named unlike the
// window's, would leave a control out or lose a value.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "EditorChecks.h"
#include "EditorFaces.h"
#include "RecordLayout.h"

namespace vyx {
namespace {

TEST(EditorFaces, EveryRecordControlHasItsFaceAndItsGroupItsCaption) {
    for (const RecordEntry& row : RecordLayout) {
        SCOPED_TRACE(std::string(row.Control));
        if (row.Kind == FieldKind::Value) {
            const EditFace* face = EditFaceOf(row.Control);
            ASSERT_NE(face, nullptr);
            // The edit sits in the group of its condition's action.
            const auto action = std::find_if(
                RecordLayout.begin(), RecordLayout.end(),
                [&](const RecordEntry& r) { return BoxCount(r) != 0 && r.Of == row.Of; });
            ASSERT_NE(action, RecordLayout.end());
            EXPECT_EQ(face->Group, action->Control);
            // The spinner's start is a value a write accepts.
            EXPECT_TRUE(PassesRule(row.Editor, std::to_string(face->Position)));
        } else if (row.Kind == FieldKind::List) {
            EXPECT_NE(ListFaceOf(row.Control), nullptr);
        } else {
            EXPECT_FALSE(GroupCaption(row.Control).empty());
        }
    }
    for (const EditFace& face : EditFaces) {
        EXPECT_FALSE(GroupCaption(face.Group).empty()) << face.Edit;
    }
}

TEST(EditorFaces, BoxesAreNamedAsTheWindowNamesThem) {
    std::vector<std::string> names;
    for (const RecordEntry& row : RecordLayout) {
        for (std::size_t box = 0; box < BoxCount(row); ++box) {
            names.push_back(BoxControl(row, box));
        }
    }
    const std::vector<std::string> expected = {
        "CB_BZ_ACP",     "CB_EV_ACP",    "CB_BZ_ACN",    "CB_EV_ACN",     "CB_BZ_VMX_IN",
        "CB_BZ_VMX_OUT", "CB_BZ_VMX_WH", "CB_EV_VMX_IN", "CB_EV_VMX_OUT", "CB_BZ_VCH_IN",
        "CB_BZ_VCH_OUT", "CB_BZ_VCH_WH", "CB_EV_VCH_IN", "CB_EV_VCH_OUT", "CB_BZ_RPX_IN",
        "CB_BZ_RPX_OUT", "CB_BZ_RPX_WH", "CB_EV_RPX_IN", "CB_EV_RPX_OUT", "CB_BZ_OSC_IN",
        "CB_BZ_OSC_OUT", "CB_BZ_OSC_WH", "CB_EV_OSC_IN", "CB_EV_OSC_OUT", "CB_BZ_BGL_IN",
        "CB_BZ_BGL_OUT", "CB_BZ_BGL_WH", "CB_EV_BGL_IN", "CB_EV_BGL_OUT"};
    EXPECT_EQ(names, expected);
}

struct BoxCase {
    const char* name;
    RecordField action;
    std::size_t box;
    std::uint8_t actionByte;  // with only this box checked
};

class ActionBoxes : public ::testing::TestWithParam<BoxCase> {};

TEST_P(ActionBoxes, EachBoxIsTheOneItsWeightSays) {
    const RecordEntry& row = EntryOf(GetParam().action);
    EditorSnapshot editor;
    ActionBox(editor, row, GetParam().box) = true;
    EXPECT_EQ(ActionByteOf(editor, row.Of), GetParam().actionByte);
}

INSTANTIATE_TEST_SUITE_P(Weights, ActionBoxes,
                         ::testing::Values(BoxCase{"AcpBuzzer", RecordField::AcpAction, 0, 10},
                                           BoxCase{"AcnEvent", RecordField::AcnAction, 1, 1},
                                           BoxCase{"VmxBuzzerIn", RecordField::VmxAction, 0, 10},
                                           BoxCase{"VchBuzzerOut", RecordField::VchAction, 1, 20},
                                           BoxCase{"RpxBuzzerWhile", RecordField::RpxAction, 2, 40},
                                           BoxCase{"OscEventIn", RecordField::OscAction, 3, 1},
                                           BoxCase{"BglEventOut", RecordField::BglAction, 4, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vyx
