#pragma once
// What the person sees of the editor beside the record's own rules: the groups'
// captions, the labels of the lists and edits, how many characters an edit
// takes and the range and start of its spinner, and the captions of the box
// groups; where they sit is EditorPlaces.h. The window and the browser page both
// build their editor from these.

#include <array>
#include <string_view>

namespace vyx {

struct GroupFace {
    std::string_view Group;  ///< GB_*
    std::string_view Caption;
};

/// The editor's groups: the lists' frame, the seven conditions and the engine
/// brake group of the wide layout (which has no place in the record).
inline constexpr std::array<GroupFace, 9> GroupFaces = {{
    {"GB_Config", " CONFIGURAÇÕES "},
    {"GB_VMX", " VELOCIDADE "},
    {"GB_ACP", " ACELERAÇÃO (aceleração brusca) "},
    {"GB_ACN", " DESACELERAÇÃO (frenagem brusca) "},
    {"GB_VCH", " VELOCIDADE NA CHUVA "},
    {"GB_RPX", " ROTAÇÃO DO MOTOR "},
    {"GB_BGL", " CONDUÇÃO DESENGRENADA (banguela) "},
    {"GB_OSC", " OCIOSIDADE DO MOTOR (funcionando parado) "},
    {"GB_EBK", " CONDUÇÃO EM FREIO MOTOR "},
}};

/// A drop-down list's label and the grey hint under it.
struct ListFace {
    std::string_view List;  ///< CB_PING, CB_A232, CB_B232
    std::string_view Label;
    std::string_view Hint;
};

inline constexpr std::array<ListFace, 3> ListFaces = {{
    {"CB_PING", "PING [s]:", "envio #VYX"},
    {"CB_A232", "RS232-A:", "rastreador"},
    {"CB_B232", "RS232-B:", "periférico"},
}};

/// A value edit: its group, label, length and spinner. The spinner's range is
/// what the arrows reach, not what a write accepts (the record table says that).
struct EditFace {
    std::string_view Group;
    std::string_view Edit;  ///< ED_*; its spinner is the UD_* of the same code
    std::string_view Label;
    int MaxLength;
    int Minimum, Maximum, Position;
    bool ArrowKeys;  ///< the up and down keys turn the spinner
};

namespace face_detail {
inline constexpr std::string_view SpeedLabel = "Velocidade máxima permitida [km/h]:";
inline constexpr std::string_view TimeLabel = "Tempo validação [segundos]:";
}  // namespace face_detail

inline constexpr std::array<EditFace, 16> EditFaces = [] {
    using namespace face_detail;
    return std::array<EditFace, 16>{{
        {"GB_ACP", "ED_ACP", "Aceleração máxima permitida [km/h.s]:", 3, 1, 255, 11, false},
        {"GB_ACN", "ED_ACN", "Desaceleração máxima permitida [km/h.s]:", 3, 1, 255, 11, false},
        {"GB_VMX", "ED_VMX", SpeedLabel, 3, 1, 250, 120, false},
        {"GB_VMX", "ED_TVMX", TimeLabel, 2, 0, 20, 5, true},
        {"GB_VCH", "ED_VCH", SpeedLabel, 3, 1, 250, 90, false},
        {"GB_VCH", "ED_TVCH", TimeLabel, 2, 0, 20, 5, true},
        {"GB_RPX", "ED_RPX", "Rotação máxima permitida [rpm]:", 4, 1000, 9999, 4500, false},
        {"GB_RPX", "ED_TRPX", TimeLabel, 2, 0, 20, 5, true},
        {"GB_OSC", "ED_TOSC", "Tempo máximo permitido para\nociosidade do motor [minutos]:", 2, 1,
         45, 10, false},
        {"GB_OSC", "ED_XOSC", "Tempo de exceção para\nmanobras rápidas [segundos]:", 2, 0, 20, 7,
         true},
        {"GB_BGL", "ED_VBGL", "Velocidade mínima validação [km/h]:", 3, 1, 250, 40, false},
        {"GB_BGL", "ED_RBGL", "Rotação máxima validação [rpm]:", 4, 300, 1500, 900, true},
        {"GB_BGL", "ED_TBGL", TimeLabel, 2, 0, 20, 5, true},
        {"GB_EBK", "ED_VEBK", "Velocidade mínima validação [km/h]:", 3, 1, 250, 40, false},
        {"GB_EBK", "ED_REBK", "Rotação máxima validação [rpm]:", 4, 300, 1500, 900, true},
        {"GB_EBK", "ED_TEBK", TimeLabel, 2, 0, 20, 5, true},
    }};
}();

/// The box groups of the triple conditions: buzzer boxes and event boxes (the
/// boxes' own captions: the record table's boxes, RecordLayout.h).
inline constexpr std::string_view BuzzerGroupCaption = " ALERTA BUZZER ";
inline constexpr std::string_view EventGroupCaption = " REGISTRAR EVENTO ";

/// The caption of group `group`; empty for an unknown one.
constexpr std::string_view GroupCaption(std::string_view group) {
    for (const GroupFace& face : GroupFaces) {
        if (face.Group == group) {
            return face.Caption;
        }
    }
    return {};
}

/// The face of edit `edit`; nothing for an unknown one.
constexpr const EditFace* EditFaceOf(std::string_view edit) {
    for (const EditFace& face : EditFaces) {
        if (face.Edit == edit) {
            return &face;
        }
    }
    return nullptr;
}

/// The face of list `list`; nothing for an unknown one.
constexpr const ListFace* ListFaceOf(std::string_view list) {
    for (const ListFace& face : ListFaces) {
        if (face.List == list) {
            return &face;
        }
    }
    return nullptr;
}

}  // namespace vyx
