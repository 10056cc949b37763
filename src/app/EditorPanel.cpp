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
#include "EditorPlaces.h"
#include "EditorSnapshot.h"
#include "Look.h"
#include "RecordLayout.h"
#include "UpDown.h"

namespace vyx::app {

namespace {

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

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

QRect Rect(const EditorRect& place) {
    return QRect(place.X, place.Y, place.W, place.H);
}

QGroupBox* MakeGroup(QWidget* parent, std::string_view name, const QString& caption, QRect place,
                     const QFont& font, const QColor& colour) {
    auto* group = new QGroupBox(caption, parent);
    group->setObjectName(Utf8(name));
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
    for (const GroupPlace& row : GroupPlaces) {
        // GB_EBK, of the wide layout only, stands on the form.
        QWidget* parent = row.Group == "GB_EBK" ? form : GB_Config;
        groups.append(MakeGroup(parent, row.Group, Utf8(GroupCaption(row.Group)), Rect(row.At),
                                caption, Look::Grey()));
    }
    GB_EBK = groups.back();
    auto groupNamed = [&groups](std::string_view name) {
        for (QGroupBox* group : groups) {
            if (group->objectName() == Utf8(name)) {
                return group;
            }
        }
        return static_cast<QGroupBox*>(nullptr);
    };

    for (const FieldPlace& row : FieldPlaces) {
        const EditFace& face = *EditFaceOf(row.Edit);
        QGroupBox* group = groupNamed(face.Group);
        MakeLabel(group, Utf8(face.Label), row.LabelX, row.LabelY, sans, Look::Grey());
        auto* edit = new QLineEdit(group);
        edit->setObjectName(Utf8(row.Edit));
        edit->setFont(sans);
        edit->setMaxLength(face.MaxLength);
        edit->setGeometry(Rect(row.At));
        edit->setText(QString::number(face.Position));
        auto* spinner =
            new UpDown(group, edit, face.Minimum, face.Maximum, face.Position, face.ArrowKeys);
        spinner->setObjectName(QStringLiteral("UD_") + Utf8(row.Edit.substr(3)));
        edits.append(edit);
        spinners.append(spinner);
    }

    const QFont boxCaption = Look::Verdana(9, true);
    for (const RecordEntry& row : RecordLayout) {
        if (row.Kind != FieldKind::SingleAction) {
            continue;
        }
        QGroupBox* group = groupNamed(row.Control);
        for (std::size_t box = 0; box < BoxCount(row); ++box) {
            boxes.append(MakeBox(group, QString::fromStdString(BoxControl(row, box)),
                                 Utf8(SingleActionBoxes[box].Caption), Rect(SingleBoxPlaces[box]),
                                 boxCaption, Look::Silver()));
        }
    }

    for (const BoxGroupPlace& row : BoxGroupPlaces) {
        QGroupBox* group = groupNamed(row.Group);
        const QString code = Utf8(row.Group.substr(3));
        auto* buzzer = MakeGroup(group, "", Utf8(BuzzerGroupCaption), Rect(row.Buzzer), boxCaption,
                                 Look::Silver());
        buzzer->setObjectName(QStringLiteral("GB_BZ_%1").arg(code));
        auto* event = MakeGroup(group, "", Utf8(EventGroupCaption), Rect(row.Event), boxCaption,
                                Look::Silver());
        event->setObjectName(QStringLiteral("GB_EV_%1").arg(code));
        // The engine-brake group has no record row and no "Durante" box.
        const bool coupled = row.Group != "GB_EBK";
        BuzzerTrio trio{};
        std::size_t buzzerIndex = 0;
        std::size_t eventIndex = 0;
        for (const ActionBoxFace& face : TripleActionBoxes) {
            if (!coupled && face.Coupling == BuzzerBox::While) {
                continue;
            }
            QGroupBox* parent = face.Buzzer ? buzzer : event;
            const std::size_t index = face.Buzzer ? buzzerIndex++ : eventIndex++;
            QCheckBox* box =
                MakeBox(parent,
                        QStringLiteral("CB_%1_%2%3")
                            .arg(face.Buzzer ? QStringLiteral("BZ") : QStringLiteral("EV"), code,
                                 Utf8(face.Suffix)),
                        Utf8(face.Caption), Rect(BoxPlaceInGroup(index, parent->width())), sans,
                        Look::Grey());
            boxes.append(box);
            if (face.Coupling) {
                trio[static_cast<std::size_t>(*face.Coupling)] = box;
            }
        }
        if (coupled) {
            for (const BuzzerBox which : {BuzzerBox::In, BuzzerBox::Out, BuzzerBox::While}) {
                QCheckBox* box = trio[static_cast<std::size_t>(which)];
                QObject::connect(box, &QCheckBox::toggled, box,
                                 [trio, which] { CoupleBuzzerBoxes(trio, which); });
            }
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
