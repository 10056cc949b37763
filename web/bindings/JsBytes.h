#pragma once
// Bytes across the border: a Uint8Array (or any array of numbers) in, a fresh
// Uint8Array out, so neither side keeps a view into the other's memory.

#include <emscripten/val.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vyx::web {

/// More than a port ever hands over at once: a bigger "chunk" is no chunk.
inline constexpr double MaxChunk = 1 << 20;

/// The bytes of a Uint8Array or an array of numbers; none for anything else.
inline std::vector<std::uint8_t> BytesFromJs(const emscripten::val& array) {
    if (array.typeOf().as<std::string>() != "object" || array.isNull()) {
        return {};
    }
    const emscripten::val length = array["length"];
    const double count = length.typeOf().as<std::string>() == "number" ? length.as<double>() : -1;
    if (!(count >= 0 && count <= MaxChunk) ||
        count != static_cast<double>(static_cast<int>(count))) {
        return {};
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    emscripten::val view(emscripten::typed_memory_view(bytes.size(), bytes.data()));
    view.call<void>("set", array);
    return bytes;
}

inline emscripten::val BytesToJs(std::span<const std::uint8_t> bytes) {
    return emscripten::val::global("Uint8Array")
        .new_(emscripten::typed_memory_view(bytes.size(), bytes.data()));
}

}  // namespace vyx::web
