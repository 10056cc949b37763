#pragma once
// Where the editor's controls sit, in pixels of the window's layout: the
// condition groups, each value edit with its label and spinner, the box groups
// and their boxes. The window places its widgets from these and the browser
// page its elements (through the module), so both show the one layout.

#include <array>
#include <cstddef>
#include <string_view>

#include "EditorFaces.h"

namespace vyx {

struct EditorRect {
    int X, Y, W, H;
};

struct GroupPlace {
    std::string_view Group;  ///< GB_*
    EditorRect At;
};

/// The condition groups inside GB_Config, then GB_EBK of the wide layout, which
/// sits on the form itself.
inline constexpr std::array<GroupPlace, 8> GroupPlaces = {{
    {"GB_VMX", {10, 78, 249, 150}},
    {"GB_ACP", {268, 78, 270, 73}},
    {"GB_ACN", {268, 155, 270, 73}},
    {"GB_VCH", {10, 238, 249, 150}},
    {"GB_RPX", {268, 238, 270, 150}},
    {"GB_BGL", {10, 398, 249, 183}},
    {"GB_OSC", {268, 398, 270, 183}},
    {"GB_EBK", {870, 262, 249, 183}},
}};

/// A value edit in its group: its label's corner and the edit; its spinner
/// stands at the edit's right edge.
struct FieldPlace {
    std::string_view Edit;  ///< ED_*
    int LabelX, LabelY;
    EditorRect At;
};

inline constexpr std::array<FieldPlace, 16> FieldPlaces = {{
    {"ED_ACP", 26, 23, {210, 20, 32, 21}},
    {"ED_ACN", 8, 23, {210, 20, 32, 21}},
    {"ED_VMX", 10, 18, {190, 15, 32, 20}},
    {"ED_TVMX", 45, 50, {190, 47, 32, 21}},
    {"ED_VCH", 10, 18, {190, 15, 32, 20}},
    {"ED_TVCH", 45, 50, {190, 47, 32, 21}},
    {"ED_RPX", 10, 18, {210, 15, 32, 20}},
    {"ED_TRPX", 45, 50, {210, 47, 32, 21}},
    {"ED_TOSC", 18, 23, {210, 28, 32, 21}},
    {"ED_XOSC", 18, 64, {210, 68, 32, 21}},
    {"ED_VBGL", 10, 21, {190, 18, 32, 21}},
    {"ED_RBGL", 25, 51, {190, 48, 32, 21}},
    {"ED_TBGL", 45, 81, {190, 78, 32, 21}},
    {"ED_VEBK", 10, 21, {190, 18, 32, 21}},
    {"ED_REBK", 25, 51, {190, 48, 32, 21}},
    {"ED_TEBK", 45, 81, {190, 78, 32, 21}},
}};
inline constexpr int SpinnerWidth = 16;
inline constexpr int SpinnerHeight = 24;

/// The spinner of an edit placed at `edit`.
constexpr EditorRect SpinnerPlace(const EditorRect& edit) {
    return {edit.X + edit.W, edit.Y, SpinnerWidth, SpinnerHeight};
}

/// A triple condition's two box groups in its group: buzzer boxes, event boxes.
struct BoxGroupPlace {
    std::string_view Group;
    EditorRect Buzzer;
    EditorRect Event;
};

namespace place_detail {
inline constexpr int BoxGroupHeight = 66;
inline constexpr int EventGroupWidth = 123;
constexpr BoxGroupPlace BoxGroups(std::string_view group, int buzzerX, int buzzerY, int buzzerW,
                                  int eventX, int eventY) {
    return {group,
            {buzzerX, buzzerY, buzzerW, BoxGroupHeight},
            {eventX, eventY, EventGroupWidth, BoxGroupHeight}};
}
}  // namespace place_detail

inline constexpr std::array<BoxGroupPlace, 6> BoxGroupPlaces = {{
    place_detail::BoxGroups("GB_VMX", 8, 75, 105, 118, 75),
    place_detail::BoxGroups("GB_VCH", 8, 75, 105, 118, 75),
    place_detail::BoxGroups("GB_RPX", 8, 75, 105, 139, 75),
    place_detail::BoxGroups("GB_OSC", 8, 107, 113, 139, 107),
    place_detail::BoxGroups("GB_BGL", 8, 107, 105, 118, 107),
    place_detail::BoxGroups("GB_EBK", 8, 107, 105, 118, 107),
}};

/// An ACP or ACN box in its group, in the order of the record table's boxes.
inline constexpr std::array<EditorRect, 2> SingleBoxPlaces = {{
    {8, 47, 110, 17},
    {125, 47, 130, 17},
}};

/// The `index`th box of a box group `groupWidth` wide: one under another.
constexpr EditorRect BoxPlaceInGroup(std::size_t index, int groupWidth) {
    return {10, 15 + 15 * static_cast<int>(index), groupWidth - 14, 15};
}

namespace place_detail {
template <class Row, std::size_t N>
constexpr const Row* Find(const std::array<Row, N>& rows, std::string_view Row::*name,
                          std::string_view wanted) {
    for (const Row& row : rows) {
        if (row.*name == wanted) {
            return &row;
        }
    }
    return nullptr;
}
}  // namespace place_detail

/// The place of group `group`, of edit `edit`, of the box groups of `group`;
/// nothing for an unknown name.
constexpr const GroupPlace* GroupPlaceOf(std::string_view group) {
    return place_detail::Find(GroupPlaces, &GroupPlace::Group, group);
}
constexpr const FieldPlace* FieldPlaceOf(std::string_view edit) {
    return place_detail::Find(FieldPlaces, &FieldPlace::Edit, edit);
}
constexpr const BoxGroupPlace* BoxGroupPlaceOf(std::string_view group) {
    return place_detail::Find(BoxGroupPlaces, &BoxGroupPlace::Group, group);
}

namespace place_detail {
// Each door looks a place up by name and takes it as found. (Names, not the
// lookups' pointers: an address is no constant in a position-independent build.)
template <class Row, std::size_t N>
constexpr bool Has(const std::array<Row, N>& rows, std::string_view Row::*name,
                   std::string_view wanted) {
    for (const Row& row : rows) {
        if (row.*name == wanted) {
            return true;
        }
    }
    return false;
}
constexpr bool EveryFaceHasItsPlace() {
    for (const EditFace& face : EditFaces) {
        if (!Has(FieldPlaces, &FieldPlace::Edit, face.Edit) ||
            !Has(GroupPlaces, &GroupPlace::Group, face.Group)) {
            return false;
        }
    }
    for (const BoxGroupPlace& row : BoxGroupPlaces) {
        if (!Has(GroupPlaces, &GroupPlace::Group, row.Group)) {
            return false;
        }
    }
    return FieldPlaces.size() == EditFaces.size();
}
static_assert(EveryFaceHasItsPlace(), "every edit and box group has its place, in a placed group");
}  // namespace place_detail

}  // namespace vyx
