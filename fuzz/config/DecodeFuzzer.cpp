// Any block the device could hand back: checking and decoding must end with a
// defined result, and a rejected block must hold no field values.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "ConfigDecoder.h"
#include "Frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool calvera = (data[0] & 1) != 0;
    vyx::ConfigImage image;
    image.fill(0xFF);
    std::copy_n(data + 1, std::min(size - 1, image.size()), image.begin());

    if ((data[0] & 2) != 0) {
        // Let most inputs through the size and sum tests so the fields get decoded.
        const std::size_t total =
            std::min<std::size_t>((image[4] << 8 | image[5]) + 9, image.size());
        const std::uint32_t sum = vyx::FrameChecksum(image.data(), total - 3);
        image[total - 3] = static_cast<std::uint8_t>(sum >> 16);
        image[total - 2] = static_cast<std::uint8_t>(sum >> 8);
        image[total - 1] = static_cast<std::uint8_t>(sum);
    }
    const vyx::DecodedConfig decoded = vyx::DecodeConfigImage(image, calvera);
    if (decoded.ErrorCount < 0 || (!decoded.FieldsDecoded && decoded.ErrorCount != 1)) {
        __builtin_trap();
    }
    vyx::EditorSnapshot editor;
    vyx::MergeDecoded(editor, decoded);
    for (const int position : editor.Lists) {
        if (position < vyx::NoSelection || position >= 10) {
            __builtin_trap();
        }
    }
    return 0;
}
