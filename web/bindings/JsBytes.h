#pragma once
// Values across the border: the type check of anything the page hands in, bytes
// as a Uint8Array (or any array of numbers) in and a fresh Uint8Array out, so
// neither side keeps a view into the other's memory, and arrays of numbers out.

#include <emscripten/val.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vyx::web {

/// Whether `value` has JavaScript type `type` ("object", "number", "string", ...):
/// what the page hands in may be anything, only the expected type counts.
inline bool HasJsType(const emscripten::val& value, const char* type) {
    return value.typeOf().as<std::string>() == type;
}

/// A fresh array of the numbers in `values`.
template <class Number>
emscripten::val NumbersToJs(std::span<const Number> values) {
    emscripten::val array = emscripten::val::array();
    for (const Number value : values) {
        array.call<void>("push", static_cast<double>(value));
    }
    return array;
}

/// More than a port ever hands over at once: a bigger "chunk" is no chunk.
inline constexpr double MaxChunk = 1 << 20;

/// The bytes of a Uint8Array or an array of numbers; none for anything else.
inline std::vector<std::uint8_t> BytesFromJs(const emscripten::val& array) {
    if (!HasJsType(array, "object") || array.isNull()) {
        return {};
    }
    const emscripten::val length = array["length"];
    const double count = HasJsType(length, "number") ? length.as<double>() : -1;
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
