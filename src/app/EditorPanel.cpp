#include "EditorPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <array>

#include "EditorFaces.h"
#include "EditorSnapshot.h"
#include "Look.h"
#include "UpDown.h"

namespace vyx::app {

namespace {

// Where the groups sit (captions: EditorFaces.h).
struct GroupSpec {
    const char* Name;
    int X, Y, W, H;
};

// Condition groups, relative to GB_Config (GB_EBK to the form).
constexpr std::array<GroupSpec, 7> ConditionGroups = {{
    {"GB_VMX", 10, 78, 249, 150},
    {"GB_ACP", 268, 78, 270, 73},
    {"GB_ACN", 268, 155, 270, 73},
    {"GB_VCH", 10, 238, 249, 150},
    {"GB_RPX", 268, 238, 270, 150},
    {"GB_BGL", 10, 398, 249, 183},
    {"GB_OSC", 268, 398, 270, 183},
}};
constexpr GroupSpec EngineBrakeGroup = {"GB_EBK", 870, 262, 249, 183};

// Where a value edit, its label and spinner sit in its group (the rest of the
// edit: EditorFaces.h).
struct FieldSpec {
    const char* Edit;
    int LabelX, LabelY;
    int X, Y, W, H;
};

constexpr std::array<FieldSpec, 16> Fields = {{
    {"ED_ACP", 26, 23, 210, 20, 32, 21},
    {"ED_ACN", 8, 23, 210, 20, 32, 21},
    {"ED_VMX", 10, 18, 190, 15, 32, 20},
    {"ED_TVMX", 45, 50, 190, 47, 32, 21},
    {"ED_VCH", 10, 18, 190, 15, 32, 20},
    {"ED_TVCH", 45, 50, 190, 47, 32, 21},
    {"ED_RPX", 10, 18, 210, 15, 32, 20},
    {"ED_TRPX", 45, 50, 210, 47, 32, 21},
    {"ED_TOSC", 18, 23, 210, 28, 32, 21},
    {"ED_XOSC", 18, 64, 210, 68, 32, 21},
    {"ED_VBGL", 10, 21, 190, 18, 32, 21},
    {"ED_RBGL", 25, 51, 190, 48, 32, 21},
    {"ED_TBGL", 45, 81, 190, 78, 32, 21},
    {"ED_VEBK", 10, 21, 190, 18, 32, 21},
    {"ED_REBK", 25, 51, 190, 48, 32, 21},
    {"ED_TEBK", 45, 81, 190, 78, 32, 21},
}};

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Box groups of the triple conditions: buzzer (three boxes) and event (two).
struct BoxGroupSpec {
    const char* Group;
    const char* Code;
    int BuzzerX, BuzzerY, BuzzerW;
    int EventX, EventY;
    bool BuzzerWhile;  // the engine-brake group has no "Durante" box
};
constexpr std::array<BoxGroupSpec, 6> BoxGroups = {{
    {"GB_VMX", "VMX", 8, 75, 105, 118, 75, true},
    {"GB_VCH", "VCH", 8, 75, 105, 118, 75, true},
    {"GB_RPX", "RPX", 8, 75, 105, 139, 75, true},
    {"GB_OSC", "OSC", 8, 107, 113, 139, 107, true},
    {"GB_BGL", "BGL", 8, 107, 105, 118, 107, true},
    {"GB_EBK", "EBK", 8, 107, 105, 118, 107, false},
}};
constexpr int BoxGroupHeight = 66;
constexpr int EventGroupWidth = 123;

// The order in which a new connection empties the editor.
constexpr std::array<const char*, 42> ConnectionClearOrder = {
    "ED_ACP",        "CB_EV_ACP",     "CB_BZ_ACP",    "ED_ACN",        "CB_EV_ACN",
    "CB_BZ_ACN",     "ED_VMX",        "ED_TVMX",      "CB_EV_VMX_IN",  "CB_EV_VMX_OUT",
    "CB_BZ_VMX_IN",  "CB_BZ_VMX_OUT", "CB_BZ_VMX_WH", "ED_VCH",        "ED_TVCH",
    "CB_EV_VCH_IN",  "CB_EV_VCH_OUT", "CB_BZ_VCH_IN", "CB_BZ_VCH_OUT", "CB_BZ_VCH_WH",
    "ED_RPX",        "ED_TRPX",       "CB_EV_RPX_IN", "CB_EV_RPX_OUT", "CB_BZ_RPX_IN",
    "CB_BZ_RPX_OUT", "CB_BZ_RPX_WH",  "ED_VBGL",      "ED_TBGL",       "ED_RBGL",
    "CB_EV_BGL_IN",  "CB_EV_BGL_OUT", "CB_BZ_BGL_IN", "CB_BZ_BGL_OUT", "CB_BZ_BGL_WH",
    "ED_TOSC",       "ED_XOSC",       "CB_EV_OSC_IN", "CB_EV_OSC_OUT", "CB_BZ_OSC_IN",
    "CB_BZ_OSC_OUT", "CB_BZ_OSC_WH"};

// A triple condition's buzzer boxes "Entrada", "Saída", "Durante", coupled by the
// editor's shared rule whenever one of them changes.
using BuzzerTrio = std::array<QCheckBox*, 3>;

void CoupleBuzzerBoxes(const BuzzerTrio& trio, BuzzerBox changed) {
    TripleBoxes boxes{.BuzzerIn = trio[0]->isChecked(),
                      .BuzzerOut = trio[1]->isChecked(),
                      .BuzzerWhile = trio[2]->isChecked()};
    ApplyBuzzerCoupling(boxes, changed);
    trio[0]->setChecked(boxes.BuzzerIn);
    trio[1]->setChecked(boxes.BuzzerOut);
    trio[2]->setChecked(boxes.BuzzerWhile);
}

void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y, const QFont& font,
                  const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    SetColour(label, QPalette::WindowText, colour);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QGroupBox* MakeGroup(QWidget* parent, const char* name, const QString& caption, QRect place,
                     const QFont& font, const QColor& colour) {
    auto* group = new QGroupBox(caption, parent);
    group->setObjectName(QString::fromLatin1(name));
    group->setFont(font);
    SetColour(group, QPalette::WindowText, colour);
    group->setGeometry(place);
    return group;
}

QCheckBox* MakeBox(QWidget* parent, const QString& name, const QString& caption, QRect place,
                   const QFont& font, const QColor& colour) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setFont(font);
    SetColour(box, QPalette::WindowText, colour);
    box->setGeometry(place);
    return box;
}

QToolButton* MakeFlatButton(QWidget* parent, const char* name, const QString& caption,
                            QRect place) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setAutoRaise(true);
    button->setFont(Look::Tahoma(9));
    SetColour(button, QPalette::ButtonText, Look::Grey());
    button->setGeometry(place);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QComboBox* MakeList(QWidget* parent, const char* name, QRect place) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setEditable(false);
    list->setFont(Look::SansSerif8());
    list->setGeometry(place);
    return list;
}

}  // namespace

EditorPanel::EditorPanel(QWidget* form) {
    GB_Config = MakeGroup(form, "GB_Config", Utf8(GroupCaption("GB_Config")),
                          QRect(5, 147, 548, 592), Look::Verdana(9, true), Look::Grey());
    BuildTopRow();
    BuildConditionGroups(form);
}

void EditorPanel::BuildTopRow() {
    const QFont sans = Look::SansSerif8();
    QWidget* g = GB_Config;
    // Label and hint of each list, left to right.
    constexpr std::array<std::array<int, 3>, 3> labelPlaces = {
        {{18, 8, 22}, {144, 144, 22}, {277, 277, 22}}};
    for (std::size_t i = 0; i < ListFaces.size(); ++i) {
        const auto& [labelX, hintX, labelY] = labelPlaces[i];
        MakeLabel(g, Utf8(ListFaces[i].Label), labelX, labelY, sans, Qt::black);
        MakeLabel(g, Utf8(ListFaces[i].Hint), hintX, labelY + 14, sans, Look::Silver());
    }

    CB_PING = MakeList(g, "CB_PING", QRect(64, 25, 65, 19));
    CB_A232 = MakeList(g, "CB_A232", QRect(195, 25, 65, 19));
    CB_A232->setEnabled(false);
    SetColour(CB_A232, QPalette::ButtonText, Look::Grey());
    CB_B232 = MakeList(g, "CB_B232", QRect(325, 25, 65, 19));

    B_SetConfig = new QPushButton(QStringLiteral("CONFIGURAR"), g);
    B_SetConfig->setObjectName(QStringLiteral("B_SetConfig"));
    B_SetConfig->setFont(Look::Arial(11));
    B_SetConfig->setGeometry(400, 12, 140, 48);
    B_SetConfig->setEnabled(false);

    B_SetCalvera = MakeFlatButton(g, "B_SetCalvera", QString(), QRect(5, 55, 50, 15));
    B_SetDefaults = MakeFlatButton(
        g, "B_SetDefaults", QString::fromUtf8("preencher valores padrão"), QRect(64, 55, 110, 15));
    B_RemConfig = MakeFlatButton(g, "B_RemConfig",
                                 QString::fromUtf8("listar comandos de configuração remota"),
                                 QRect(195, 55, 170, 15));
}

void EditorPanel::BuildConditionGroups(QWidget* form) {
    const QFont caption = Look::Verdana(9, true);
    const QFont sans = Look::SansSerif8();
    QList<QGroupBox*> groups;
    for (const GroupSpec& row : ConditionGroups) {
        groups.append(MakeGroup(GB_Config, row.Name, Utf8(GroupCaption(row.Name)),
                                QRect(row.X, row.Y, row.W, row.H), caption, Look::Grey()));
    }
    GB_EBK = MakeGroup(
        form, EngineBrakeGroup.Name, Utf8(GroupCaption(EngineBrakeGroup.Name)),
        QRect(EngineBrakeGroup.X, EngineBrakeGroup.Y, EngineBrakeGroup.W, EngineBrakeGroup.H),
        caption, Look::Grey());
    groups.append(GB_EBK);
    auto groupNamed = [&groups](const char* name) {
        for (QGroupBox* group : groups) {
            if (group->objectName() == QLatin1String(name)) {
                return group;
            }
        }
        return static_cast<QGroupBox*>(nullptr);
    };

    for (const FieldSpec& row : Fields) {
        const EditFace& face = *EditFaceOf(row.Edit);
        QGroupBox* group = groupNamed(std::string(face.Group).c_str());
        MakeLabel(group, Utf8(face.Label), row.LabelX, row.LabelY, sans, Look::Grey());
        auto* edit = new QLineEdit(group);
        edit->setObjectName(QString::fromLatin1(row.Edit));
        edit->setFont(sans);
        edit->setMaxLength(face.MaxLength);
        edit->setGeometry(row.X, row.Y, row.W, row.H);
        edit->setText(QString::number(face.Position));
        auto* spinner =
            new UpDown(group, edit, face.Minimum, face.Maximum, face.Position, face.ArrowKeys);
        spinner->setObjectName(QStringLiteral("UD_") + QString::fromLatin1(row.Edit + 3));
        edits.append(edit);
        spinners.append(spinner);
    }

    const QFont boxCaption = Look::Verdana(9, true);
    for (const char* code : {"ACP", "ACN"}) {
        QGroupBox* group = groupNamed(code[2] == 'P' ? "GB_ACP" : "GB_ACN");
        boxes.append(MakeBox(group, QStringLiteral("CB_BZ_%1").arg(code), Utf8(SingleBuzzerCaption),
                             QRect(8, 47, 110, 17), boxCaption, Look::Silver()));
        boxes.append(MakeBox(group, QStringLiteral("CB_EV_%1").arg(code), Utf8(SingleEventCaption),
                             QRect(125, 47, 130, 17), boxCaption, Look::Silver()));
    }

    const QStringList suffixes = {QStringLiteral("IN"), QStringLiteral("OUT"),
                                  QStringLiteral("WH")};
    for (const BoxGroupSpec& row : BoxGroups) {
        QGroupBox* group = groupNamed(row.Group);
        const QString code = QString::fromLatin1(row.Code);
        auto* buzzer = MakeGroup(group, "", Utf8(BuzzerGroupCaption),
                                 QRect(row.BuzzerX, row.BuzzerY, row.BuzzerW, BoxGroupHeight),
                                 boxCaption, Look::Silver());
        buzzer->setObjectName(QStringLiteral("GB_BZ_%1").arg(code));
        auto* event = MakeGroup(group, "", Utf8(EventGroupCaption),
                                QRect(row.EventX, row.EventY, EventGroupWidth, BoxGroupHeight),
                                boxCaption, Look::Silver());
        event->setObjectName(QStringLiteral("GB_EV_%1").arg(code));
        const int buzzerCount = row.BuzzerWhile ? 3 : 2;
        BuzzerTrio trio{};
        for (int i = 0; i < buzzerCount; ++i) {
            trio[static_cast<std::size_t>(i)] =
                MakeBox(buzzer, QStringLiteral("CB_BZ_%1_%2").arg(code, suffixes[i]),
                        Utf8(TripleBoxCaptions[static_cast<std::size_t>(i)]),
                        QRect(10, 15 + 15 * i, row.BuzzerW - 14, 15), sans, Look::Grey());
            boxes.append(trio[static_cast<std::size_t>(i)]);
        }
        if (row.BuzzerWhile) {
            for (const BuzzerBox which : {BuzzerBox::In, BuzzerBox::Out, BuzzerBox::While}) {
                QCheckBox* box = trio[static_cast<std::size_t>(which)];
                QObject::connect(box, &QCheckBox::toggled, box,
                                 [trio, which] { CoupleBuzzerBoxes(trio, which); });
            }
        }
        for (int i = 0; i < 2; ++i) {
            boxes.append(MakeBox(event, QStringLiteral("CB_EV_%1_%2").arg(code, suffixes[i]),
                                 Utf8(TripleBoxCaptions[static_cast<std::size_t>(3 + i)]),
                                 QRect(10, 15 + 15 * i, EventGroupWidth - 14, 15), sans,
                                 Look::Grey()));
        }
    }
}

QLineEdit* EditorPanel::Edit(const QString& name) const {
    for (QLineEdit* edit : edits) {
        if (edit->objectName() == name) {
            return edit;
        }
    }
    return nullptr;
}

UpDown* EditorPanel::Spinner(const QString& name) const {
    for (UpDown* spinner : spinners) {
        if (spinner->objectName() == name) {
            return spinner;
        }
    }
    return nullptr;
}

QCheckBox* EditorPanel::Box(const QString& name) const {
    for (QCheckBox* box : boxes) {
        if (box->objectName() == name) {
            return box;
        }
    }
    return nullptr;
}

void EditorPanel::FillLists(std::span<const std::uint16_t> pingSeconds,
                            std::span<const std::uint16_t> baudCodes) {
    for (std::uint16_t seconds : pingSeconds) {
        CB_PING->addItem(QString::number(seconds));
    }
    for (std::uint16_t code : baudCodes) {
        CB_A232->addItem(QString::number(code * 100));
        CB_B232->addItem(QString::number(code * 100));
    }
    ClearListSelections();
}

void EditorPanel::ClearListSelections() {
    CB_PING->setCurrentIndex(-1);
    CB_A232->setCurrentIndex(-1);
    CB_B232->setCurrentIndex(-1);
}

void EditorPanel::EmptyForConnection() {
    for (const char* name : ConnectionClearOrder) {
        const QString control = QString::fromLatin1(name);
        if (QLineEdit* edit = Edit(control)) {
            edit->clear();
        } else if (QCheckBox* box = Box(control)) {
            box->setChecked(false);
        }
    }
}

}  // namespace vyx::app
