#include "EditorBinding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <array>

#include "EditorPanel.h"

namespace vyx::app {

namespace {

constexpr std::array<const char*, 16> FieldControls = {
    "CB_PING", "CB_A232", "CB_B232", "ED_ACP",  "ED_ACN",  "ED_VMX",  "ED_TVMX", "ED_VCH",
    "ED_TVCH", "ED_RPX",  "ED_TRPX", "ED_TOSC", "ED_XOSC", "ED_VBGL", "ED_RBGL", "ED_TBGL"};

// Triple conditions in TripleCondition order, and the value edits of each (in
// record order, so that applying follows the record).
struct TripleSpec {
    const char* Code;
    std::array<EditorField, 3> Values;
    int ValueCount;
};
constexpr std::array<TripleSpec, TripleConditionCount> Triples = {{
    {"VMX", {EditorField::Vmx, EditorField::Tvmx, EditorField::Vmx}, 2},
    {"VCH", {EditorField::Vch, EditorField::Tvch, EditorField::Vch}, 2},
    {"RPX", {EditorField::Rpx, EditorField::Trpx, EditorField::Rpx}, 2},
    {"OSC", {EditorField::Tosc, EditorField::Xosc, EditorField::Tosc}, 2},
    {"BGL", {EditorField::Vbgl, EditorField::Rbgl, EditorField::Tbgl}, 3},
}};

QCheckBox* Box(const EditorPanel& panel, const char* kind, const char* code,
               const char* suffix = nullptr) {
    QString name = QStringLiteral("CB_%1_%2").arg(QLatin1String(kind), QLatin1String(code));
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
    return QString::fromLatin1(FieldControls[static_cast<std::size_t>(field)]);
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
    for (EditorField field : {EditorField::Ping, EditorField::A232, EditorField::B232}) {
        editor.List(field) = List(panel, field)->currentIndex();
    }
    for (std::size_t i = 0; i < EditorTextCount; ++i) {
        const auto field = static_cast<EditorField>(i + EditorListCount);
        editor.Text(field) = Edit(panel, field)->text().toStdString();
    }
    editor.Acp = {Box(panel, "BZ", "ACP")->isChecked(), Box(panel, "EV", "ACP")->isChecked()};
    editor.Acn = {Box(panel, "BZ", "ACN")->isChecked(), Box(panel, "EV", "ACN")->isChecked()};
    for (std::size_t i = 0; i < TripleConditionCount; ++i) {
        const char* code = Triples[i].Code;
        editor.Triples[i] = {
            Box(panel, "BZ", code, "IN")->isChecked(), Box(panel, "BZ", code, "OUT")->isChecked(),
            Box(panel, "BZ", code, "WH")->isChecked(), Box(panel, "EV", code, "IN")->isChecked(),
            Box(panel, "EV", code, "OUT")->isChecked()};
    }
    return editor;
}

void EditorBinding::Apply(EditorPanel& panel, const EditorSnapshot& editor) {
    for (EditorField field : {EditorField::Ping, EditorField::A232, EditorField::B232}) {
        QComboBox* list = List(panel, field);
        const int position = editor.List(field);
        list->setCurrentIndex(position >= 0 && position < list->count() ? position : -1);
    }
    SetText(panel, EditorField::Acp, editor.Text(EditorField::Acp));
    Box(panel, "BZ", "ACP")->setChecked(editor.Acp.Buzzer);
    Box(panel, "EV", "ACP")->setChecked(editor.Acp.Event);
    SetText(panel, EditorField::Acn, editor.Text(EditorField::Acn));
    Box(panel, "BZ", "ACN")->setChecked(editor.Acn.Buzzer);
    Box(panel, "EV", "ACN")->setChecked(editor.Acn.Event);
    for (std::size_t i = 0; i < TripleConditionCount; ++i) {
        const TripleSpec& triple = Triples[i];
        for (int v = 0; v < triple.ValueCount; ++v) {
            SetText(panel, triple.Values[v], editor.Text(triple.Values[v]));
        }
        const TripleBoxes& boxes = editor.Triples[i];
        Box(panel, "BZ", triple.Code, "IN")->setChecked(boxes.BuzzerIn);
        Box(panel, "BZ", triple.Code, "OUT")->setChecked(boxes.BuzzerOut);
        Box(panel, "BZ", triple.Code, "WH")->setChecked(boxes.BuzzerWhile);
        Box(panel, "EV", triple.Code, "IN")->setChecked(boxes.EventIn);
        Box(panel, "EV", triple.Code, "OUT")->setChecked(boxes.EventOut);
    }
}

}  // namespace vyx::app
