#include "ConfigDecoder.h"

#include <algorithm>

#include "Frame.h"

namespace vyx {

namespace {

constexpr std::size_t LengthOffset = 4;
constexpr std::size_t FieldsOffset = 8;
// Six header bytes before the counted ones and three sum bytes after them.
constexpr std::size_t LengthOverhead = 9;

template <std::size_t N>
std::optional<int> Position(const std::array<std::uint16_t, N>& table, std::uint16_t value) {
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

// Walks the record fields in offset order, counting errors as it goes.
class FieldReader {
public:
    FieldReader(std::span<const std::uint8_t, ConfigImageSize> image, DecodedConfig& out)
        : image(image), out(out) {}

    std::uint8_t Byte() { return image[at++]; }
    std::uint16_t Word() {
        const std::uint16_t v = ReadBE16(&image[at]);
        at += 2;
        return v;
    }

    template <std::size_t N>
    std::uint16_t List(EditorField field, const std::array<std::uint16_t, N>& table) {
        const std::uint16_t v = Word();
        out.Lists[EditorSnapshot::ListIndex(field)] = Position(table, v);
        Count(!out.Lists[EditorSnapshot::ListIndex(field)]);
        return v;
    }

    // A value field: shown in its edit as decimal text.
    std::uint8_t ByteValue(EditorField field) {
        const std::uint8_t v = Byte();
        Text(field, v);
        return v;
    }
    std::uint16_t WordValue(EditorField field) {
        const std::uint16_t v = Word();
        Text(field, v);
        return v;
    }

    std::uint8_t Single(DecodedSingle& boxes) {
        const std::uint8_t b = Byte();
        const int buzzer = b / 10;
        const int event = b % 10;
        if (buzzer <= 1) {
            boxes.Buzzer = buzzer == 1;
        }
        if (event <= 1) {
            boxes.Event = event == 1;
        }
        Count(buzzer > 1);
        Count(event > 1);
        return b;
    }

    std::uint8_t Triple(DecodedTriple& boxes) {
        const std::uint8_t b = Byte();
        const int buzzer = b / 10;
        const int event = b % 10;
        if (buzzer <= 4) {
            boxes.Buzzer =
                std::array<bool, 3>{(buzzer & 1) != 0, (buzzer & 2) != 0, (buzzer & 4) != 0};
        }
        if (event <= 3) {
            boxes.Event = std::array<bool, 2>{(event & 1) != 0, (event & 2) != 0};
        }
        Count(buzzer > 4);
        Count(event > 3);
        return b;
    }

    void Count(bool error) { out.ErrorCount += error ? 1 : 0; }

private:
    void Text(EditorField field, unsigned value) {
        out.Texts[EditorSnapshot::TextIndex(field)] = std::to_string(value);
    }

    std::span<const std::uint8_t, ConfigImageSize> image;
    DecodedConfig& out;
    std::size_t at = FieldsOffset;
};

ConfigValues DecodeFields(std::span<const std::uint8_t, ConfigImageSize> image,
                          DecodedConfig& out) {
    using F = EditorField;
    FieldReader r(image, out);
    ConfigValues v;
    v.Ping = r.List(F::Ping, PingSeconds);
    v.A232 = r.List(F::A232, BaudCodes);
    v.B232 = r.List(F::B232, BaudCodes);
    v.Acp = r.ByteValue(F::Acp);
    v.Acn = r.ByteValue(F::Acn);
    v.AcpAction = r.Single(out.Acp);
    v.AcnAction = r.Single(out.Acn);

    auto triple = [&](TripleCondition c) -> DecodedTriple& {
        return out.Triples[static_cast<std::size_t>(c)];
    };
    v.VmxAction = r.Triple(triple(TripleCondition::Vmx));
    v.Vmx = r.ByteValue(F::Vmx);
    v.Tvmx = r.ByteValue(F::Tvmx);
    v.VchAction = r.Triple(triple(TripleCondition::Vch));
    v.Vch = r.ByteValue(F::Vch);
    v.Tvch = r.ByteValue(F::Tvch);
    v.RpxAction = r.Triple(triple(TripleCondition::Rpx));
    v.Rpx = r.WordValue(F::Rpx);
    v.Trpx = r.ByteValue(F::Trpx);
    v.OscAction = r.Triple(triple(TripleCondition::Osc));
    v.Tosc = r.ByteValue(F::Tosc);
    v.Xosc = r.ByteValue(F::Xosc);
    v.BglAction = r.Triple(triple(TripleCondition::Bgl));
    v.Vbgl = r.ByteValue(F::Vbgl);
    v.Rbgl = r.WordValue(F::Rbgl);
    v.Tbgl = r.ByteValue(F::Tbgl);
    return v;
}

int ActionDifferences(std::uint8_t actual, std::uint8_t reference) {
    return (actual / 10 != reference / 10 ? 1 : 0) + (actual % 10 != reference % 10 ? 1 : 0);
}

int CalveraDifferences(const ConfigValues& v) {
    const ConfigValues& c = CalveraReference;
    const std::array<bool, 16> plain = {
        v.Ping != c.Ping, v.A232 != c.A232, v.B232 != c.B232, v.Acp != c.Acp,
        v.Acn != c.Acn,   v.Vmx != c.Vmx,   v.Tvmx != c.Tvmx, v.Vch != c.Vch,
        v.Tvch != c.Tvch, v.Rpx != c.Rpx,   v.Trpx != c.Trpx, v.Tosc != c.Tosc,
        v.Xosc != c.Xosc, v.Vbgl != c.Vbgl, v.Rbgl != c.Rbgl, v.Tbgl != c.Tbgl,
    };
    int errors = static_cast<int>(std::count(plain.begin(), plain.end(), true));
    errors += ActionDifferences(v.AcpAction, c.AcpAction);
    errors += ActionDifferences(v.AcnAction, c.AcnAction);
    errors += ActionDifferences(v.VmxAction, c.VmxAction);
    errors += ActionDifferences(v.VchAction, c.VchAction);
    errors += ActionDifferences(v.RpxAction, c.RpxAction);
    errors += ActionDifferences(v.OscAction, c.OscAction);
    errors += ActionDifferences(v.BglAction, c.BglAction);
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
