// Bytes from the page: a port's chunk as it comes, anything else as no bytes.

#include <emscripten/val.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "JsBytes.h"

namespace vyx::web {
namespace {

using emscripten::val;
using Bytes = std::vector<std::uint8_t>;

val ArrayOf(std::initializer_list<int> numbers) {
    val array = val::array();
    for (int n : numbers) {
        array.call<void>("push", n);
    }
    return array;
}

val WithLength(double length) {
    val object = val::object();
    object.set("length", length);
    return object;
}

TEST(JsBytes, AChunkComesInAsItsBytesAndGoesOutAsACopy) {
    const val chunk = val::global("Uint8Array").new_(ArrayOf({0xBC, 0x12, 0x00, 0xFF}));
    EXPECT_EQ(BytesFromJs(chunk), (Bytes{0xBC, 0x12, 0x00, 0xFF}));
    EXPECT_EQ(BytesFromJs(ArrayOf({1, 2, 300})), (Bytes{1, 2, 44}));  // as a Uint8Array keeps it

    Bytes frame = {0xBC, 0x21, 0x07};
    const val out = BytesToJs(frame);
    frame[0] = 0;  // the copy the page holds stays as it was
    EXPECT_EQ(out["length"].as<int>(), 3);
    EXPECT_EQ(out[0].as<int>(), 0xBC);
    EXPECT_TRUE(out.instanceof (val::global("Uint8Array")));
}

TEST(JsBytes, WhatIsNoChunkGivesNoBytes) {
    for (const val& odd : {val::undefined(), val::null(), val(std::string("BC12")), val(7),
                           val::object(), WithLength(-1), WithLength(2.5), WithLength(1e12)}) {
        EXPECT_TRUE(BytesFromJs(odd).empty());
    }
}

}  // namespace
}  // namespace vyx::web
