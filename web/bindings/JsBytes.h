#pragma once
// Bytes across the border: a Uint8Array (or any array of numbers) in, a fresh
// Uint8Array out, so neither side keeps a view into the other's memory.

#include <emscripten/val.h>

#include <cstdint>
#include <span>
#include <vector>

namespace vyx::web {

inline std::vector<std::uint8_t> BytesFromJs(const emscripten::val& array) {
    const emscripten::val length = array["length"];
    if (length.typeOf().as<std::string>() != "number") {
        return {};
    }
    std::vector<std::uint8_t> bytes(length.as<std::size_t>());
    emscripten::val view(emscripten::typed_memory_view(bytes.size(), bytes.data()));
    view.call<void>("set", array);
    return bytes;
}

inline emscripten::val BytesToJs(std::span<const std::uint8_t> bytes) {
    return emscripten::val::global("Uint8Array")
        .new_(emscripten::typed_memory_view(bytes.size(), bytes.data()));
}

}  // namespace vyx::web
