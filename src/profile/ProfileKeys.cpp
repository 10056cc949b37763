#include "ProfileKeys.h"

#include <array>

#include "ConfigImage.h"
#include "EditorChecks.h"

namespace vyx {

namespace {

using F = EditorField;
using T = TripleCondition;
constexpr auto Number = ProfileValueKind::Number;
constexpr auto Choice = ProfileValueKind::Choice;

template <bool SingleBoxes::*Member>
bool& AcpBox(EditorSnapshot& s) {
    return s.Acp.*Member;
}
template <bool SingleBoxes::*Member>
bool& AcnBox(EditorSnapshot& s) {
    return s.Acn.*Member;
}
template <T Condition, bool TripleBoxes::*Member>
bool& TripleBox(EditorSnapshot& s) {
    return s.Triple(Condition).*Member;
}

constexpr ProfileKey Value(std::string_view key, ProfileValueKind kind, F field) {
    return {key, kind, field, nullptr};
}
constexpr ProfileKey Box(std::string_view key, bool& (*box)(EditorSnapshot&)) {
    return {key, ProfileValueKind::Box, F::Ping, box};
}

#define VYX_TRIPLE_BOXES(name, condition)                                               \
    Box(name ".buzzer.on_entry", &TripleBox<condition, &TripleBoxes::BuzzerIn>),        \
        Box(name ".buzzer.on_exit", &TripleBox<condition, &TripleBoxes::BuzzerOut>),    \
        Box(name ".buzzer.while_in", &TripleBox<condition, &TripleBoxes::BuzzerWhile>), \
        Box(name ".event.on_entry", &TripleBox<condition, &TripleBoxes::EventIn>),      \
        Box(name ".event.on_exit", &TripleBox<condition, &TripleBoxes::EventOut>)

const std::array Keys = {
    Value("ping.interval_s", Choice, F::Ping),
    Value("rs232_a.baud", Choice, F::A232),
    Value("rs232_b.baud", Choice, F::B232),
    Value("acceleration.max_kmh_per_s", Number, F::Acp),
    Box("acceleration.buzzer", &AcpBox<&SingleBoxes::Buzzer>),
    Box("acceleration.event", &AcpBox<&SingleBoxes::Event>),
    Value("braking.max_kmh_per_s", Number, F::Acn),
    Box("braking.buzzer", &AcnBox<&SingleBoxes::Buzzer>),
    Box("braking.event", &AcnBox<&SingleBoxes::Event>),
    Value("speed.max_kmh", Number, F::Vmx),
    Value("speed.validation_s", Number, F::Tvmx),
    VYX_TRIPLE_BOXES("speed", T::Vmx),
    Value("rain_speed.max_kmh", Number, F::Vch),
    Value("rain_speed.validation_s", Number, F::Tvch),
    VYX_TRIPLE_BOXES("rain_speed", T::Vch),
    Value("engine_speed.max_rpm", Number, F::Rpx),
    Value("engine_speed.validation_s", Number, F::Trpx),
    VYX_TRIPLE_BOXES("engine_speed", T::Rpx),
    Value("idling.max_min", Number, F::Tosc),
    Value("idling.manoeuvre_exception_s", Number, F::Xosc),
    VYX_TRIPLE_BOXES("idling", T::Osc),
    Value("coasting.min_kmh", Number, F::Vbgl),
    Value("coasting.max_rpm", Number, F::Rbgl),
    Value("coasting.validation_s", Number, F::Tbgl),
    VYX_TRIPLE_BOXES("coasting", T::Bgl),
};

#undef VYX_TRIPLE_BOXES

constexpr std::string_view WhileSuffix = ".buzzer.while_in";

}  // namespace

std::span<const ProfileKey> ProfileKeys() {
    return Keys;
}

std::vector<unsigned> ProfileChoices(EditorField field) {
    std::vector<unsigned> values;
    if (field == F::Ping) {
        values.assign(PingSeconds.begin(), PingSeconds.end());
    } else {
        // The lists show (and the profile names) the baud rate, the record its hundredth.
        for (const std::uint16_t code : BaudCodes) {
            values.push_back(code * 100U);
        }
    }
    return values;
}

std::string ProfileAllowed(const ProfileKey& key) {
    switch (key.Kind) {
        case ProfileValueKind::Number: {
            const FieldRule& rule = RuleFor(key.Field);
            return "a whole number from " + std::to_string(rule.Min) + " to " +
                   std::to_string(rule.Max);
        }
        case ProfileValueKind::Choice: {
            std::string text = "one of";
            const char* separator = " ";
            for (const unsigned value : ProfileChoices(key.Field)) {
                text += separator + std::to_string(value);
                separator = ", ";
            }
            return text;
        }
        case ProfileValueKind::Box:
            break;
    }
    return "true or false";
}

std::string ProfileValueText(const ProfileKey& key, EditorSnapshot& editor) {
    switch (key.Kind) {
        case ProfileValueKind::Number: {
            const std::string& text = editor.Text(key.Field);
            return text.empty() ? "empty" : text;
        }
        case ProfileValueKind::Choice: {
            const std::vector<unsigned> choices = ProfileChoices(key.Field);
            const int position = editor.List(key.Field);
            if (position < 0 || static_cast<std::size_t>(position) >= choices.size()) {
                return "none";
            }
            return std::to_string(choices[static_cast<std::size_t>(position)]);
        }
        case ProfileValueKind::Box:
            break;
    }
    return key.Box(editor) ? "true" : "false";
}

std::vector<std::string_view> ProfileExclusiveWith(const ProfileKey& key) {
    if (!key.Key.ends_with(WhileSuffix)) {
        return {};
    }
    // The editor never lets "Durante" stand with "Entrada" or "Saída": the two
    // keys just before it in the table are its condition's other buzzer boxes.
    const std::size_t index = static_cast<std::size_t>(&key - Keys.data());
    return {Keys[index - 2].Key, Keys[index - 1].Key};
}

}  // namespace vyx
