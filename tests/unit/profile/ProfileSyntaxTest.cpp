#include <gtest/gtest.h>

#include "ProfileSyntax.h"

namespace vyx {
namespace {

TEST(PrintableText, EscapesWhatWouldSteerATerminalAndKeepsText) {
    const struct {
        std::string text;
        std::size_t limit;
        std::string shown;
    } cases[] = {
        {"Aceleração máx.", std::string::npos, "Aceleração máx."},
        {"\x1B]0;title\x07", std::string::npos, "\\u001B]0;title\\u0007"},
        {std::string("a\0b", 3), std::string::npos, "a\\u0000b"},
        {"\x7F", std::string::npos, "\\u007F"},
        {"\xC2\x9B"
         "2J",
         std::string::npos, "\\u009B2J"},  // C1 CSI
        {"abc\xE2\x80\xAE"
         "cba",
         std::string::npos, "abc\\u202Ecba"},  // right-to-left override
        {"\xE2\x80\xA8", std::string::npos, "\\u2028"},
        {"\xFF"
         "a",
         std::string::npos, "\\xFFa"},
        {"\xE2\x80", std::string::npos, "\\xE2\\x80"},           // cut short
        {"\xED\xA0\x80", std::string::npos, "\\xED\\xA0\\x80"},  // a surrogate
        {"\xC0\xAF", std::string::npos, "\\xC0\\xAF"},           // overlong "/"
        {"\xF0\x9F\x9A\x97", std::string::npos, "\xF0\x9F\x9A\x97"},
        {"abcdef", 3, "abc…"},
        {"çãé", 2, "çã…"},
        {"abc", 3, "abc"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PrintableText(c.text, c.limit), c.shown) << c.shown;
    }
}

}  // namespace
}  // namespace vyx
