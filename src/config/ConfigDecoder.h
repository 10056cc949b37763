#pragma once
// Checking and decoding a configuration block read from the device. The result
// is a value: what each field decodes to (or that it is in error) and the error
// count. The block is accepted when the count is 0.

#include <array>
#include <optional>
#include <span>
#include <string>

#include "ConfigImage.h"
#include "EditorSnapshot.h"

namespace vyx {

/// An ACP or ACN action byte: each box's state, or nothing when its digit is
/// out of range (the box is then left as it is).
struct DecodedSingle {
    std::optional<bool> Buzzer;
    std::optional<bool> Event;
    bool operator==(const DecodedSingle&) const = default;
};

/// A triple action byte: the buzzer boxes (Entrada, Saída, Durante) and the event
/// boxes (Entrada, Saída), each group absent when its digit is out of range.
struct DecodedTriple {
    std::optional<std::array<bool, 3>> Buzzer;
    std::optional<std::array<bool, 2>> Event;
    bool operator==(const DecodedTriple&) const = default;
};

struct DecodedConfig {
    int ErrorCount = 0;
    /// False when the marker, size or sum test rejected the block: no field
    /// below holds a value then.
    bool FieldsDecoded = false;
    /// List positions of PING, A232, B232; absent when the value is not in its table.
    std::array<std::optional<int>, EditorListCount> Lists;
    /// Decimal texts of ED_ACP .. ED_TBGL (no leading zeros).
    std::array<std::string, EditorTextCount> Texts;
    DecodedSingle Acp;
    DecodedSingle Acn;
    std::array<DecodedTriple, TripleConditionCount> Triples;

    bool Accepted() const { return ErrorCount == 0; }
};

/// Checks and decodes `image`. With `calvera` every field is also compared with
/// the Calvera preset, and each difference is one more error.
DecodedConfig DecodeConfigImage(std::span<const std::uint8_t, ConfigImageSize> image, bool calvera);

/// Puts what `decoded` holds into `editor`, leaving alone what it does not hold
/// (a rejected block, a list value not in its table, an out-of-range digit).
void MergeDecoded(EditorSnapshot& editor, const DecodedConfig& decoded);

}  // namespace vyx
