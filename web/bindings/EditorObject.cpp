#include "EditorObject.h"

#include <string_view>

#include "EditorChecks.h"
#include "EditorFaces.h"
#include "EditorPlaces.h"
#include "JsBytes.h"
#include "RecordLayout.h"

namespace vyx::web {

using emscripten::val;

namespace {

std::string Name(std::string_view text) {
    return std::string(text);
}

const char* KindName(FieldKind kind) {
    switch (kind) {
        case FieldKind::List:
            return "list";
        case FieldKind::Value:
            return "value";
        case FieldKind::SingleAction:
            return "singleAction";
        case FieldKind::TripleAction:
            break;
    }
    return "tripleAction";
}

bool IsAction(const RecordEntry& row) {
    return BoxCount(row) != 0;
}

// A place as the page takes it: [x, y, width, height] in pixels.
val PlaceArray(const EditorRect& place) {
    const int parts[] = {place.X, place.Y, place.W, place.H};
    return NumbersToJs(std::span<const int>(parts));
}

}  // namespace

val SnapshotToObject(const EditorSnapshot& editor) {
    val object = val::object();
    for (const RecordEntry& row : RecordLayout) {
        if (row.Kind == FieldKind::List) {
            object.set(Name(row.Control), editor.List(row.Editor));
        } else if (row.Kind == FieldKind::Value) {
            object.set(Name(row.Control), editor.Text(row.Editor));
        } else {
            for (std::size_t box = 0; box < BoxCount(row); ++box) {
                object.set(BoxControl(row, box), ActionBox(editor, row, box));
            }
        }
    }
    return object;
}

EditorSnapshot SnapshotFromObject(const val& object) {
    EditorSnapshot editor;
    if (!HasJsType(object, "object") || object.isNull()) {
        return editor;
    }
    for (const RecordEntry& row : RecordLayout) {
        if (row.Kind == FieldKind::List) {
            const val position = object[Name(row.Control)];
            const double number = HasJsType(position, "number") ? position.as<double>() : -1;
            // A position outside the list is no selection, as in the window.
            const bool inList = number >= 0 && number < static_cast<double>(row.Choices.size()) &&
                                number == static_cast<int>(number);
            editor.List(row.Editor) = inList ? static_cast<int>(number) : NoSelection;
        } else if (row.Kind == FieldKind::Value) {
            const val text = object[Name(row.Control)];
            editor.Text(row.Editor) = HasJsType(text, "string") ? text.as<std::string>() : "";
        } else {
            for (std::size_t box = 0; box < BoxCount(row); ++box) {
                ActionBox(editor, row, box) = object[BoxControl(row, box)].isTrue();
            }
        }
    }
    return editor;
}

val EditFaceObject(const EditFace& face) {
    val out = val::object();
    out.set("group", Name(face.Group));
    out.set("control", Name(face.Edit));
    out.set("label", Name(face.Label));
    out.set("maxLength", face.MaxLength);
    val spin = val::object();
    spin.set("min", face.Minimum);
    spin.set("max", face.Maximum);
    spin.set("start", face.Position);
    spin.set("arrowKeys", face.ArrowKeys);
    out.set("spin", spin);
    return out;
}

val LayoutRows() {
    val rows = val::array();
    for (const RecordEntry& row : RecordLayout) {
        val out = val::object();
        std::string_view group = row.Control;  // an action's row names its group
        if (row.Kind == FieldKind::Value) {
            const EditFace& face = *EditFaceOf(row.Control);
            out = EditFaceObject(face);
            group = face.Group;
            out.set("min", row.Min);
            out.set("max", row.Max);
            const FieldPlace& place = *FieldPlaceOf(row.Control);
            const int label[] = {place.LabelX, place.LabelY};
            out.set("labelPlace", NumbersToJs(std::span<const int>(label)));
            out.set("place", PlaceArray(place.At));
            out.set("spinnerPlace", PlaceArray(SpinnerPlace(place.At)));
        } else if (row.Kind == FieldKind::List) {
            group = "GB_Config";
            const ListFace& face = *ListFaceOf(row.Control);
            out.set("label", Name(face.Label));
            out.set("hint", Name(face.Hint));
            val choices = val::array();
            for (const std::uint16_t choice : row.Choices) {
                choices.call<void>("push", std::to_string(choice * row.Scale));
            }
            out.set("choices", choices);
        } else {
            const bool single = row.Kind == FieldKind::SingleAction;
            out.set("label", std::string());
            const BoxGroupPlace* boxGroups = BoxGroupPlaceOf(row.Control);
            if (!single) {
                out.set("buzzerCaption", Name(BuzzerGroupCaption));
                out.set("eventCaption", Name(EventGroupCaption));
                out.set("buzzerPlace", PlaceArray(boxGroups->Buzzer));
                out.set("eventPlace", PlaceArray(boxGroups->Event));
            }
            val boxes = val::array();
            std::size_t inKind[2] = {0, 0};  // event boxes, buzzer boxes so far
            for (std::size_t box = 0; box < BoxCount(row); ++box) {
                const ActionBoxFace& face = BoxesOf(row)[box];
                val entry = val::object();
                entry.set("control", BoxControl(row, box));
                entry.set("buzzer", face.Buzzer);
                entry.set("coupled", face.Coupling.has_value());
                entry.set("caption", Name(face.Caption));
                // Single boxes sit in the condition's group, the others in their box group.
                const std::size_t index = inKind[face.Buzzer]++;
                const EditorRect place =
                    single ? SingleBoxPlaces[box]
                           : BoxPlaceInGroup(
                                 index, face.Buzzer ? boxGroups->Buzzer.W : boxGroups->Event.W);
                entry.set("place", PlaceArray(place));
                boxes.call<void>("push", entry);
            }
            out.set("boxes", boxes);
        }
        out.set("control", Name(row.Control));
        out.set("kind", std::string(KindName(row.Kind)));
        out.set("group", Name(group));
        out.set("groupCaption", Name(GroupCaption(group)));
        if (const GroupPlace* place = GroupPlaceOf(group)) {
            out.set("groupPlace", PlaceArray(place->At));
        }
        out.set("key", Name(row.ProfileKey));
        out.set("name", Name(IsAction(row) ? row.RemoteName : row.WriteName));
        rows.call<void>("push", out);
    }
    return rows;
}

EditorSnapshot CoupleBuzzer(EditorSnapshot editor, const std::string& control) {
    for (const RecordEntry& row : RecordLayout) {
        const auto triple = TripleOf(row.Of);
        if (row.Kind != FieldKind::TripleAction || !triple) {
            continue;
        }
        for (std::size_t box = 0; box < BoxCount(row); ++box) {
            const auto coupling = BoxesOf(row)[box].Coupling;
            if (coupling && BoxControl(row, box) == control) {
                ApplyBuzzerCoupling(editor.Triple(*triple), *coupling);
                return editor;
            }
        }
    }
    return editor;
}

val CheckEditor(const EditorSnapshot& editor) {
    const auto failure = FirstFailingCheck(editor);
    if (!failure) {
        return val::null();
    }
    val out = val::object();
    out.set("control", Name(EntryOf(failure->Field).Control));
    out.set("caption", Name(CheckFailureCaption));
    out.set("message", failure->Message);
    return out;
}

}  // namespace vyx::web
