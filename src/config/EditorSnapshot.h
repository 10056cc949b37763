#pragma once
// The configuration editor's controls as plain values. The window fills a
// snapshot from its controls and applies one back; the logic in this folder
// never touches a control itself.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vyx {

/// The three lists and the thirteen value edits of the editor, in record order.
/// The window maps each to its control (CB_PING .. CB_B232, ED_ACP .. ED_TBGL).
enum class EditorField {
    Ping,  // CB_PING
    A232,  // CB_A232
    B232,  // CB_B232
    Acp,   // ED_ACP
    Acn,   // ED_ACN
    Vmx,   // ED_VMX
    Tvmx,  // ED_TVMX
    Vch,   // ED_VCH
    Tvch,  // ED_TVCH
    Rpx,   // ED_RPX
    Trpx,  // ED_TRPX
    Tosc,  // ED_TOSC
    Xosc,  // ED_XOSC
    Vbgl,  // ED_VBGL
    Rbgl,  // ED_RBGL
    Tbgl,  // ED_TBGL
};

inline constexpr std::size_t EditorListCount = 3;
inline constexpr std::size_t EditorTextCount = 13;

/// True for the three drop-down lists (which are never emptied like an edit).
constexpr bool IsList(EditorField field) {
    return field == EditorField::Ping || field == EditorField::A232 || field == EditorField::B232;
}

/// The five conditions with a buzzer group of three boxes and an event group of two.
enum class TripleCondition { Vmx, Vch, Rpx, Osc, Bgl };
inline constexpr std::size_t TripleConditionCount = 5;

/// ACP and ACN: one "ALERTA BUZZER" box and one "REGISTRAR EVENTO" box.
struct SingleBoxes {
    bool Buzzer = false;
    bool Event = false;
    bool operator==(const SingleBoxes&) const = default;
};

/// A triple condition's boxes: buzzer "Entrada", "Saída", "Durante" (CB_BZ_*_IN,
/// _OUT, _WH) and event "Entrada", "Saída" (CB_EV_*_IN, _OUT).
struct TripleBoxes {
    bool BuzzerIn = false;
    bool BuzzerOut = false;
    bool BuzzerWhile = false;
    bool EventIn = false;
    bool EventOut = false;
    bool operator==(const TripleBoxes&) const = default;
};

/// Position meaning "the list has no selection".
inline constexpr int NoSelection = -1;

struct EditorSnapshot {
    /// List positions of CB_PING, CB_A232, CB_B232; NoSelection when none.
    std::array<int, EditorListCount> Lists{NoSelection, NoSelection, NoSelection};
    /// Texts of ED_ACP .. ED_TBGL, UTF-8, exactly as the edits hold them.
    std::array<std::string, EditorTextCount> Texts;
    SingleBoxes Acp;
    SingleBoxes Acn;
    std::array<TripleBoxes, TripleConditionCount> Triples;

    int& List(EditorField field) { return Lists[ListIndex(field)]; }
    int List(EditorField field) const { return Lists[ListIndex(field)]; }
    std::string& Text(EditorField field) { return Texts[TextIndex(field)]; }
    const std::string& Text(EditorField field) const { return Texts[TextIndex(field)]; }
    TripleBoxes& Triple(TripleCondition c) { return Triples[static_cast<std::size_t>(c)]; }
    const TripleBoxes& Triple(TripleCondition c) const {
        return Triples[static_cast<std::size_t>(c)];
    }

    /// Index into Lists of a list field (Ping, A232, B232).
    static constexpr std::size_t ListIndex(EditorField field) {
        return static_cast<std::size_t>(field);
    }
    /// Index into Texts of an edit field (Acp .. Tbgl).
    static constexpr std::size_t TextIndex(EditorField field) {
        return static_cast<std::size_t>(field) - EditorListCount;
    }

    bool operator==(const EditorSnapshot&) const = default;
};

/// The action byte of ACP or ACN: 10 for the buzzer plus 1 for the event.
constexpr std::uint8_t SingleActionByte(const SingleBoxes& boxes) {
    return static_cast<std::uint8_t>((boxes.Buzzer ? 10 : 0) + (boxes.Event ? 1 : 0));
}

/// The action byte of a triple condition: tens digit the buzzer weights
/// (1 Entrada, 2 Saída, 4 Durante), units digit the event weights (1, 2).
constexpr std::uint8_t TripleActionByte(const TripleBoxes& boxes) {
    const int buzzer =
        (boxes.BuzzerIn ? 1 : 0) + (boxes.BuzzerOut ? 2 : 0) + (boxes.BuzzerWhile ? 4 : 0);
    const int event = (boxes.EventIn ? 1 : 0) + (boxes.EventOut ? 2 : 0);
    return static_cast<std::uint8_t>(buzzer * 10 + event);
}

/// Which buzzer box of a triple condition changed.
enum class BuzzerBox { In, Out, While };

/// The coupling rule, run after `changed` took its new state: "Durante" checked
/// clears "Entrada" and "Saída"; "Entrada" or "Saída" checked clears "Durante".
/// Unchecking changes nothing else.
void ApplyBuzzerCoupling(TripleBoxes& boxes, BuzzerBox changed);

}  // namespace vyx
