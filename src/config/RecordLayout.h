#pragma once
// The configuration record, field by field: where each field sits in the block,
// how wide it is, which editor control or condition it belongs to, what the
// editor accepts for it, its Calvera preset value, what the remote command list
// calls it and the key a configuration profile stores it under. The encoder, the
// decoder, the preset comparison, the editor checks and the remote command list
// all walk this one table; a new field is one row here plus its widget.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "EditorSnapshot.h"

namespace vyx {

/// The 23 record fields, in record order (PING to TBGL).
enum class RecordField {
    Ping,
    A232,
    B232,
    Acp,
    Acn,
    AcpAction,
    AcnAction,
    VmxAction,
    Vmx,
    Tvmx,
    VchAction,
    Vch,
    Tvch,
    RpxAction,
    Rpx,
    Trpx,
    OscAction,
    Tosc,
    Xosc,
    BglAction,
    Vbgl,
    Rbgl,
    Tbgl,
};
inline constexpr std::size_t RecordFieldCount = 23;

/// What a record field holds.
enum class FieldKind {
    List,          // a value from a fixed table, chosen in a drop-down list
    Value,         // a number typed into a value edit
    SingleAction,  // the ACP or ACN action byte: buzzer tens digit, event units digit
    TripleAction,  // a triple condition's action byte (see TripleActionByte)
};

/// The seven conditions the editor configures; the lists belong to none.
enum class Condition { None, Acp, Acn, Vmx, Vch, Rpx, Osc, Bgl };

/// Record values of the PING list, in list order (seconds).
inline constexpr std::array<std::uint16_t, 10> PingSeconds = {5,  10, 15,  30,  45,
                                                              60, 90, 120, 180, 300};
/// Record values of the RS232 lists, in list order (bit rate / 100).
inline constexpr std::array<std::uint16_t, 4> BaudCodes = {96, 192, 576, 1152};

struct RecordEntry {
    RecordField Field;
    /// Byte offset in the block; fields wider than a byte are big-endian.
    std::size_t Offset;
    std::size_t Width;  // 1 or 2
    FieldKind Kind;
    /// The editor control of a List or Value field (unused for actions).
    EditorField Editor;
    Condition Of;
    /// Value fields: the editor's accepted range. List fields: unused.
    std::uint32_t Min;
    std::uint32_t Max;
    /// List fields: the record values in list order, and what one record unit
    /// is worth in the field's own unit (100 for the bit-rate codes).
    std::span<const std::uint16_t> Choices;
    std::uint32_t Scale;
    /// The control (ED_*, CB_* list) or, for an action, its condition's group
    /// (GB_*); its boxes are CB_BZ_<code>[_IN|_OUT|_WH] and CB_EV_<code>[...].
    std::string_view Control;
    /// Dotted lower-case profile key. For an action it is the condition's stem,
    /// completed by its boxes' keys (BoxesOf).
    std::string_view ProfileKey;
    /// Name in brackets of the write's "Parâmetro inválido!" message.
    std::string_view WriteName;
    /// Value and list fields: name in the remote list's error line (and the
    /// label of a list's command). Actions: label of the condition's command.
    std::string_view RemoteName;
    /// The condition's (or list's) remote command; empty when it has none.
    std::string_view RemoteCommand;
    /// The record value of the Calvera preset.
    std::uint16_t Calvera;
};

/// One box of an action byte: what its control is called after its group's code
/// (CB_BZ_<code> or CB_EV_<code>, then the suffix), the profile key after the
/// condition's stem, its caption, and the buzzer box it is to the coupling rule.
struct ActionBoxFace {
    std::string_view Suffix;
    std::string_view Key;
    std::string_view Caption;
    bool Buzzer;  ///< sounds the buzzer; else records an event
    std::optional<BuzzerBox> Coupling;
};

/// The boxes of an ACP or ACN action, in SingleBoxes order.
inline constexpr std::array<ActionBoxFace, 2> SingleActionBoxes = {{
    {"", "buzzer", "ALERTA BUZZER", true, std::nullopt},
    {"", "event", "REGISTRAR EVENTO", false, std::nullopt},
}};
/// The boxes of a triple action, in TripleBoxes order: the buzzer group's
/// ("Durante" is never ticked with "Entrada" or "Saída"), then the event group's.
inline constexpr std::array<ActionBoxFace, 5> TripleActionBoxes = {{
    {"_IN", "buzzer.on_entry", "Entrada", true, BuzzerBox::In},
    {"_OUT", "buzzer.on_exit", "Saída", true, BuzzerBox::Out},
    {"_WH", "buzzer.during", "Durante", true, BuzzerBox::While},
    {"_IN", "event.on_entry", "Entrada", false, std::nullopt},
    {"_OUT", "event.on_exit", "Saída", false, std::nullopt},
}};

namespace layout_detail {
using F = RecordField;
using E = EditorField;
using K = FieldKind;
using C = Condition;
inline constexpr std::uint32_t ByteMax = 255;
inline constexpr std::uint32_t WordMax = 65535;
inline constexpr std::span<const std::uint16_t> NoChoices{};

constexpr RecordEntry List(F field, std::size_t offset, E editor,
                           std::span<const std::uint16_t> choices, std::uint32_t scale,
                           std::string_view control, std::string_view key, std::string_view name,
                           std::string_view command, std::uint16_t calvera) {
    return {field,   offset, 2,       K::List, editor, C::None, 0,       0,
            choices, scale,  control, key,     name,   name,    command, calvera};
}
constexpr RecordEntry Value(F field, std::size_t offset, std::size_t width, E editor, C of,
                            std::uint32_t min, std::uint32_t max, std::string_view control,
                            std::string_view key, std::string_view writeName,
                            std::string_view remoteName, std::uint16_t calvera) {
    return {field,     offset, width,   K::Value, editor,    of,         min, max,
            NoChoices, 1,      control, key,      writeName, remoteName, {},  calvera};
}
constexpr RecordEntry Action(F field, std::size_t offset, K kind, C of, std::string_view group,
                             std::string_view stem, std::string_view command,
                             std::string_view label, std::uint16_t calvera) {
    return {field,     offset, 1,     kind, E::Ping, of,    0,       0,
            NoChoices, 1,      group, stem, {},      label, command, calvera};
}
}  // namespace layout_detail

/// The whole record, one row per RecordField in record order. A value's maximum
/// never exceeds what its field holds: ACP, ACN and VBGL take three digits in
/// the editor but one byte in the record, so 256..999 is refused rather than
/// written as a different number.
inline constexpr std::array<RecordEntry, RecordFieldCount> RecordLayout = [] {
    using namespace layout_detail;
    return std::array<RecordEntry, RecordFieldCount>{{
        List(F::Ping, 8, E::Ping, PingSeconds, 1, "CB_PING", "ping.period_s", "PING", "#CPI", 60),
        List(F::A232, 10, E::A232, BaudCodes, 100, "CB_A232", "rs232_a.bit_rate", "RS232-A", {},
             1152),
        List(F::B232, 12, E::B232, BaudCodes, 100, "CB_B232", "rs232_b.bit_rate", "RS232-B", "#CBR",
             192),
        Value(F::Acp, 14, 1, E::Acp, C::Acp, 0, ByteMax, "ED_ACP", "acceleration.max_kmh_per_s",
              "Aceleração", "Aceleração", 11),
        Value(F::Acn, 15, 1, E::Acn, C::Acn, 0, ByteMax, "ED_ACN", "braking.max_kmh_per_s",
              "Desaceleração", "Desaceleração", 11),
        Action(F::AcpAction, 16, K::SingleAction, C::Acp, "GB_ACP", "acceleration", "#CACP",
               "Aceleração", 1),
        Action(F::AcnAction, 17, K::SingleAction, C::Acn, "GB_ACN", "braking", "#CACN",
               "Desaceleração", 1),
        Action(F::VmxAction, 18, K::TripleAction, C::Vmx, "GB_VMX", "speed", "#CVMX", "Velocidade",
               3),
        Value(F::Vmx, 19, 1, E::Vmx, C::Vmx, 0, 150, "ED_VMX", "speed.max_kmh", "Velocidade",
              "Velocidade", 100),
        Value(F::Tvmx, 20, 1, E::Tvmx, C::Vmx, 0, 60, "ED_TVMX", "speed.confirm_s",
              "Tempo validação Velocidade", "Tempo validação Velocidade", 10),
        Action(F::VchAction, 21, K::TripleAction, C::Vch, "GB_VCH", "rain_speed", "#CVCH",
               "Velocidade na chuva", 3),
        Value(F::Vch, 22, 1, E::Vch, C::Vch, 0, 150, "ED_VCH", "rain_speed.max_kmh",
              "Velocidade na Chuva", "Velocidade na Chuva", 80),
        Value(F::Tvch, 23, 1, E::Tvch, C::Vch, 0, 60, "ED_TVCH", "rain_speed.confirm_s",
              "Tempo validação Velocidade na Chuva", "Tempo validação Velocidade na Chuva", 10),
        Action(F::RpxAction, 24, K::TripleAction, C::Rpx, "GB_RPX", "engine_speed", "#CRPX",
               "Rotação do motor", 3),
        Value(F::Rpx, 25, 2, E::Rpx, C::Rpx, 1000, WordMax, "ED_RPX", "engine_speed.max_rpm",
              "Rotação do Motor", "Rotação do Motor", 4500),
        Value(F::Trpx, 27, 1, E::Trpx, C::Rpx, 0, 60, "ED_TRPX", "engine_speed.confirm_s",
              "Tempo validação Rotação", "Tempo validação Rotação", 5),
        Action(F::OscAction, 28, K::TripleAction, C::Osc, "GB_OSC", "idling", "#COCS",
               "Ociosidade do motor", 3),
        Value(F::Tosc, 29, 1, E::Tosc, C::Osc, 1, ByteMax, "ED_TOSC", "idling.max_min",
              "Tempo osciosidade", "Tempo ociosidade", 1),
        Value(F::Xosc, 30, 1, E::Xosc, C::Osc, 0, 60, "ED_XOSC", "idling.manoeuvre_grace_s",
              "Tempo excessão manobra", "Tempo excessão manobra", 7),
        Action(F::BglAction, 31, K::TripleAction, C::Bgl, "GB_BGL", "coasting", "#CBGL", "Banguela",
               3),
        Value(F::Vbgl, 32, 1, E::Vbgl, C::Bgl, 1, ByteMax, "ED_VBGL", "coasting.min_kmh",
              "Velocidade min. Banguela", "Velocidade min. Banguela", 40),
        Value(F::Rbgl, 33, 2, E::Rbgl, C::Bgl, 300, 1000, "ED_RBGL", "coasting.max_rpm",
              "Rotação max. Banguela", "Rotação max. Banguela", 900),
        Value(F::Tbgl, 35, 1, E::Tbgl, C::Bgl, 0, 30, "ED_TBGL", "coasting.confirm_s",
              "Tempo validação Banguela", "Tempo validação Banguela", 5),
    }};
}();

/// Offset of the first record field, and of the 24-bit sum right after the last.
inline constexpr std::size_t RecordFieldsOffset = 8;
inline constexpr std::size_t RecordSumOffset = 36;

/// The row of a record field.
const RecordEntry& EntryOf(RecordField field);
/// The row of an editor list or value edit.
const RecordEntry& EntryOf(EditorField field);
/// The row of a profile key (value and list keys, and action stems); nothing
/// for an unknown key.
const RecordEntry* EntryWithKey(std::string_view key);

/// The triple condition of Vmx .. Bgl; nothing for the others.
std::optional<TripleCondition> TripleOf(Condition condition);

/// The action byte a snapshot's boxes give for an action row.
std::uint8_t ActionByteOf(const EditorSnapshot& editor, Condition condition);

/// The boxes of an action row (SingleActionBoxes or TripleActionBoxes); none
/// for other rows.
std::span<const ActionBoxFace> BoxesOf(const RecordEntry& action);
/// How many boxes an action row has (2 or 5; 0 for other rows).
inline std::size_t BoxCount(const RecordEntry& action) {
    return BoxesOf(action).size();
}
/// Box `box` of an action row in a snapshot.
bool& ActionBox(EditorSnapshot& editor, const RecordEntry& action, std::size_t box);
inline bool ActionBox(const EditorSnapshot& editor, const RecordEntry& action, std::size_t box) {
    return ActionBox(const_cast<EditorSnapshot&>(editor), action, box);  // only read
}
/// The control name of box `box` of an action row, after its group: GB_VMX holds
/// CB_BZ_VMX_IN, CB_BZ_VMX_OUT, CB_BZ_VMX_WH, CB_EV_VMX_IN, CB_EV_VMX_OUT; GB_ACP
/// holds CB_BZ_ACP and CB_EV_ACP.
std::string BoxControl(const RecordEntry& action, std::size_t box);
/// The code its group gives a condition's controls: "VMX" for GB_VMX.
std::string_view ConditionCode(const RecordEntry& action);

/// The list record value at `position`; nothing for a position outside the list.
std::optional<std::uint16_t> ChoiceAt(const RecordEntry& list, int position);

}  // namespace vyx
