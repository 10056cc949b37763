#include "ConfigDecoder.h"

#include <algorithm>

#include "Frame.h"

namespace vyx {

namespace {

constexpr std::size_t LengthOffset = 4;
// Six header bytes before the counted ones and three sum bytes after them.
constexpr std::size_t LengthOverhead = 9;

std::optional<int> Position(std::span<const std::uint16_t> table, std::uint16_t value) {
    const auto it = std::find(table.begin(), table.end(), value);
    if (it == table.end()) {
        return std::nullopt;
    }
    return static_cast<int>(it - table.begin());
}

bool MarkerPresent(std::span<const std::uint8_t, ConfigImageSize> image) {
    // Only a block with none of the four marker bytes in place is refused.
    for (std::size_t i = 0; i < ConfigMarker.size(); ++i) {
        if (image[i] == ConfigMarker[i]) {
            return true;
        }
    }
    return false;
}

bool SizeAndSumHold(std::span<const std::uint8_t, ConfigImageSize> image) {
    const std::size_t total = ReadBE16(&image[LengthOffset]) + LengthOverhead;
    if (total > ConfigImageSize) {
        return false;
    }
    const std::uint32_t sum = FrameChecksum(image.data(), total - 3);
    return sum == ReadBE24(&image[total - 3]);
}

void DecodeSingle(std::uint8_t b, DecodedSingle& boxes, DecodedConfig& out) {
    const int buzzer = b / 10;
    const int event = b % 10;
    if (buzzer <= 1) {
        boxes.Buzzer = buzzer == 1;
    }
    if (event <= 1) {
        boxes.Event = event == 1;
    }
    out.ErrorCount += (buzzer > 1 ? 1 : 0) + (event > 1 ? 1 : 0);
}

void DecodeTriple(std::uint8_t b, DecodedTriple& boxes, DecodedConfig& out) {
    const int buzzer = b / 10;
    const int event = b % 10;
    if (buzzer <= 4) {
        boxes.Buzzer = std::array<bool, 3>{(buzzer & 1) != 0, (buzzer & 2) != 0, (buzzer & 4) != 0};
    }
    if (event <= 3) {
        boxes.Event = std::array<bool, 2>{(event & 1) != 0, (event & 2) != 0};
    }
    out.ErrorCount += (buzzer > 4 ? 1 : 0) + (event > 3 ? 1 : 0);
}

ConfigValues DecodeFields(std::span<const std::uint8_t, ConfigImageSize> image,
                          DecodedConfig& out) {
    ConfigValues values;
    for (const RecordEntry& row : RecordLayout) {
        const std::uint16_t v = row.Width == 2 ? ReadBE16(&image[row.Offset]) : image[row.Offset];
        values[row.Field] = v;
        switch (row.Kind) {
            case FieldKind::List: {
                auto& position = out.Lists[EditorSnapshot::ListIndex(row.Editor)];
                position = Position(row.Choices, v);
                out.ErrorCount += position ? 0 : 1;
                break;
            }
            case FieldKind::Value:
                out.Texts[EditorSnapshot::TextIndex(row.Editor)] = std::to_string(v);
                break;
            case FieldKind::SingleAction:
                DecodeSingle(static_cast<std::uint8_t>(v),
                             row.Of == Condition::Acp ? out.Acp : out.Acn, out);
                break;
            case FieldKind::TripleAction:
                DecodeTriple(static_cast<std::uint8_t>(v),
                             out.Triples[static_cast<std::size_t>(*TripleOf(row.Of))], out);
                break;
        }
    }
    return values;
}

// An action byte differs digit by digit; any other field as a whole.
int CalveraDifferences(const ConfigValues& values) {
    int errors = 0;
    for (const RecordEntry& row : RecordLayout) {
        const std::uint16_t actual = values[row.Field];
        if (row.Kind == FieldKind::SingleAction || row.Kind == FieldKind::TripleAction) {
            errors += (actual / 10 != row.Calvera / 10 ? 1 : 0) +
                      (actual % 10 != row.Calvera % 10 ? 1 : 0);
        } else {
            errors += actual != row.Calvera ? 1 : 0;
        }
    }
    return errors;
}

}  // namespace

DecodedConfig DecodeConfigImage(std::span<const std::uint8_t, ConfigImageSize> image,
                                bool calvera) {
    DecodedConfig out;
    if (!MarkerPresent(image) || !SizeAndSumHold(image)) {
        out.ErrorCount = 1;
        return out;
    }
    out.FieldsDecoded = true;
    const ConfigValues values = DecodeFields(image, out);
    if (calvera) {
        out.ErrorCount += CalveraDifferences(values);
    }
    return out;
}

void MergeDecoded(EditorSnapshot& editor, const DecodedConfig& decoded) {
    if (!decoded.FieldsDecoded) {
        return;
    }
    for (std::size_t i = 0; i < EditorListCount; ++i) {
        if (decoded.Lists[i]) {
            editor.Lists[i] = *decoded.Lists[i];
        }
    }
    editor.Texts = decoded.Texts;
    auto single = [](SingleBoxes& boxes, const DecodedSingle& d) {
        boxes.Buzzer = d.Buzzer.value_or(boxes.Buzzer);
        boxes.Event = d.Event.value_or(boxes.Event);
    };
    single(editor.Acp, decoded.Acp);
    single(editor.Acn, decoded.Acn);
    for (std::size_t i = 0; i < TripleConditionCount; ++i) {
        TripleBoxes& boxes = editor.Triples[i];
        const DecodedTriple& d = decoded.Triples[i];
        if (d.Buzzer) {
            boxes.BuzzerIn = (*d.Buzzer)[0];
            boxes.BuzzerOut = (*d.Buzzer)[1];
            boxes.BuzzerWhile = (*d.Buzzer)[2];
        }
        if (d.Event) {
            boxes.EventIn = (*d.Event)[0];
            boxes.EventOut = (*d.Event)[1];
        }
    }
}

}  // namespace vyx
