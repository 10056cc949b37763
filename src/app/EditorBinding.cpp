#include "EditorBinding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "EditorPanel.h"
#include "RecordLayout.h"

namespace vyx::app {

namespace {

// The boxes of a condition are named after its group: GB_VMX holds CB_BZ_VMX_IN ...
QLatin1String Code(const RecordEntry& action) {
    const std::string_view code = action.Control.substr(3);
    return QLatin1String(code.data(), static_cast<qsizetype>(code.size()));
}

QCheckBox* Box(const EditorPanel& panel, const char* kind, QLatin1String code,
               const char* suffix = nullptr) {
    QString name = QStringLiteral("CB_%1_%2").arg(QLatin1String(kind), code);
    if (suffix) {
        name += QLatin1Char('_') + QLatin1String(suffix);
    }
    return panel.Box(name);
}

void SetText(const EditorPanel& panel, EditorField field, const std::string& text) {
    EditorBinding::Edit(panel, field)->setText(QString::fromStdString(text));
}

}  // namespace

QString EditorBinding::ControlName(EditorField field) {
    const std::string_view name = EntryOf(field).Control;
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

QComboBox* EditorBinding::List(const EditorPanel& panel, EditorField field) {
    switch (field) {
        case EditorField::Ping:
            return panel.CB_PING;
        case EditorField::A232:
            return panel.CB_A232;
        case EditorField::B232:
            return panel.CB_B232;
        default:
            return nullptr;
    }
}

QLineEdit* EditorBinding::Edit(const EditorPanel& panel, EditorField field) {
    return IsList(field) ? nullptr : panel.Edit(ControlName(field));
}

EditorSnapshot EditorBinding::Read(const EditorPanel& panel) {
    EditorSnapshot editor;
    for (const RecordEntry& row : RecordLayout) {
        if (row.Kind == FieldKind::List) {
            editor.List(row.Editor) = List(panel, row.Editor)->currentIndex();
        } else if (row.Kind == FieldKind::Value) {
            editor.Text(row.Editor) = Edit(panel, row.Editor)->text().toStdString();
        } else if (const auto triple = TripleOf(row.Of)) {
            const QLatin1String code = Code(row);
            editor.Triple(*triple) = {Box(panel, "BZ", code, "IN")->isChecked(),
                                      Box(panel, "BZ", code, "OUT")->isChecked(),
                                      Box(panel, "BZ", code, "WH")->isChecked(),
                                      Box(panel, "EV", code, "IN")->isChecked(),
                                      Box(panel, "EV", code, "OUT")->isChecked()};
        } else {
            SingleBoxes& boxes = row.Of == Condition::Acp ? editor.Acp : editor.Acn;
            boxes = {Box(panel, "BZ", Code(row))->isChecked(),
                     Box(panel, "EV", Code(row))->isChecked()};
        }
    }
    return editor;
}

void EditorBinding::Apply(EditorPanel& panel, const EditorSnapshot& editor) {
    for (const RecordEntry& row : RecordLayout) {
        if (row.Kind != FieldKind::List) {
            continue;
        }
        QComboBox* list = List(panel, row.Editor);
        const int position = editor.List(row.Editor);
        list->setCurrentIndex(position >= 0 && position < list->count() ? position : -1);
    }
    // Condition by condition: its values, then its boxes.
    for (const RecordEntry& action : RecordLayout) {
        if (action.Kind != FieldKind::SingleAction && action.Kind != FieldKind::TripleAction) {
            continue;
        }
        for (const RecordEntry& row : RecordLayout) {
            if (row.Kind == FieldKind::Value && row.Of == action.Of) {
                SetText(panel, row.Editor, editor.Text(row.Editor));
            }
        }
        const QLatin1String code = Code(action);
        if (const auto triple = TripleOf(action.Of)) {
            const TripleBoxes& boxes = editor.Triple(*triple);
            Box(panel, "BZ", code, "IN")->setChecked(boxes.BuzzerIn);
            Box(panel, "BZ", code, "OUT")->setChecked(boxes.BuzzerOut);
            Box(panel, "BZ", code, "WH")->setChecked(boxes.BuzzerWhile);
            Box(panel, "EV", code, "IN")->setChecked(boxes.EventIn);
            Box(panel, "EV", code, "OUT")->setChecked(boxes.EventOut);
        } else {
            const SingleBoxes& boxes = action.Of == Condition::Acp ? editor.Acp : editor.Acn;
            Box(panel, "BZ", code)->setChecked(boxes.Buzzer);
            Box(panel, "EV", code)->setChecked(boxes.Event);
        }
    }
}

}  // namespace vyx::app
