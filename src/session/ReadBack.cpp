#include "ReadBack.h"

#include <cstdio>

#include "ConfigDecoder.h"
#include "ProfileKeys.h"

namespace vyx {

namespace {

EditorSnapshot Values(const ConfigImage& image) {
    EditorSnapshot editor;
    MergeDecoded(editor, DecodeConfigImage(image, false));
    return editor;
}

}  // namespace

std::string FirstDifference(const ConfigImage& written, const ConfigImage& received) {
    EditorSnapshot wrote = Values(written);
    EditorSnapshot read = Values(received);
    for (const ProfileKey& key : ProfileKeys()) {
        const std::string a = ProfileValueText(key, wrote);
        const std::string b = ProfileValueText(key, read);
        if (a != b) {
            return key.Key + ": gravado " + a + ", lido de volta " + b;
        }
    }
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (written[i] != received[i]) {
            char text[80];
            std::snprintf(text, sizeof text, "byte %zu do bloco: gravado %02X, lido de volta %02X",
                          i, written[i], received[i]);
            return text;
        }
    }
    return {};
}

}  // namespace vyx
