#include "EditorBinding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "EditorPanel.h"
#include "RecordLayout.h"

namespace vyx::app {

namespace {

QCheckBox* Box(const EditorPanel& panel, const RecordEntry& action, std::size_t box) {
    return panel.Box(QString::fromStdString(BoxControl(action, box)));
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
        } else {
            for (std::size_t box = 0; box < BoxCount(row); ++box) {
                ActionBox(editor, row, box) = Box(panel, row, box)->isChecked();
            }
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
        if (BoxCount(action) == 0) {
            continue;
        }
        for (const RecordEntry& row : RecordLayout) {
            if (row.Kind == FieldKind::Value && row.Of == action.Of) {
                SetText(panel, row.Editor, editor.Text(row.Editor));
            }
        }
        for (std::size_t box = 0; box < BoxCount(action); ++box) {
            Box(panel, action, box)->setChecked(ActionBox(editor, action, box));
        }
    }
}

}  // namespace vyx::app
