#include "ProfileSyntax.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <set>

namespace vyx {

namespace {

using Json = nlohmann::ordered_json;

// Length of the UTF-8 sequence starting at `at`, 0 when the bytes there are not one.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned lowest = 0;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        lowest = lead == 0xE0 ? 0xA0 : 0x80;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        lowest = lead == 0xF0 ? 0x90 : 0x80;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned follow = byte(at + i);
        const unsigned low = i == 1 && lowest != 0 ? lowest : 0x80;
        // Surrogates (ED A0..BF) and code points past U+10FFFF (F4 90..) are not text.
        const unsigned high =
            i == 1 && lead == 0xED ? 0x9F : (i == 1 && lead == 0xF4 ? 0x8F : 0xBF);
        if (follow < low || follow > high) {
            return 0;
        }
    }
    return length;
}

// Code point of a valid sequence.
unsigned CodePoint(std::string_view sequence) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(sequence[i]); };
    switch (sequence.size()) {
        case 1:
            return byte(0);
        case 2:
            return (byte(0) & 0x1Fu) << 6 | (byte(1) & 0x3Fu);
        case 3:
            return (byte(0) & 0x0Fu) << 12 | (byte(1) & 0x3Fu) << 6 | (byte(2) & 0x3Fu);
        default:
            return (byte(0) & 0x07u) << 18 | (byte(1) & 0x3Fu) << 12 | (byte(2) & 0x3Fu) << 6 |
                   (byte(3) & 0x3Fu);
    }
}

// Characters that move a terminal's cursor, set its title or turn the text around.
bool IsControl(unsigned c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x2028 && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

std::string Position(std::string_view text, std::size_t at) {
    at = std::min(at, text.size());
    const std::string_view before = text.substr(0, at);
    const std::size_t line =
        1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    const std::size_t lineStart = before.rfind('\n');
    const std::size_t column = at - (lineStart == std::string_view::npos ? 0 : lineStart + 1) + 1;
    return "linha " + std::to_string(line) + ", coluna " + std::to_string(column);
}

bool LooksWhole(std::string_view number) {
    if (!number.empty() && number.front() == '-') {
        number.remove_prefix(1);
    }
    return !number.empty() &&
           std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsWordCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Follows the document's keys as it is read, without building it.
class SyntaxReader : public nlohmann::json_sax<Json> {
public:
    SyntaxReader(std::string_view text, ProfileSyntax& report) : text(text), report(report) {}

    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t& written) override {
        // A whole number that only fits a floating-point value is still a whole
        // number to the user: its key reports it as written.
        if (LooksWhole(written) && !InArray()) {
            report.LongIntegers.emplace(Path(), written);
        }
        return true;
    }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override {
        frames.push_back({true, {}, {}});
        return true;
    }
    bool key(string_t& name) override {
        Frame& object = frames.back();
        object.key = name;
        if (!object.keys.insert(name).second) {
            report.Errors.push_back(PrintableText(Path(), QuoteLimit) +
                                    ": chave repetida (permitido: uma só vez)");
        }
        return true;
    }
    bool end_object() override {
        frames.pop_back();
        return true;
    }
    bool start_array(std::size_t) override {
        frames.push_back({false, {}, {}});
        return true;
    }
    bool end_array() override {
        frames.pop_back();
        return true;
    }
    bool parse_error(std::size_t position, const std::string& token,
                     const nlohmann::detail::exception& error) override {
        // The reader counts the byte it stopped at; a number it cannot hold has
        // been read whole, so its first digit is where it stands.
        std::size_t at = position > 0 ? position - 1 : 0;
        const std::string what = error.what();
        std::string why;
        if (error.id == 406) {
            at = position >= token.size() ? position - token.size() : 0;
            why = "número grande demais para ler: " + PrintableText(token, QuoteLimit);
        } else if (what.find("unexpected end of input") != std::string::npos) {
            why = "o documento termina antes de estar completo";
        } else if (what.find("expected end of input") != std::string::npos) {
            why = "texto depois do fim do documento";
        } else if (what.find("ill-formed UTF-8") != std::string::npos) {
            why = "bytes que não são texto UTF-8";
        } else if (what.find("control character") != std::string::npos) {
            why = "caractere de controle entre aspas (escreva-o como \\u00XX)";
        } else {
            // A misspelt word is reported from its first letter ("tru", a bare key).
            while (at > 0 && at <= text.size() && IsWordCharacter(text[at - 1])) {
                --at;
            }
            std::size_t end = at;
            while (end < text.size() && IsWordCharacter(text[end])) {
                ++end;
            }
            why = "inesperado: " +
                  PrintableText(text.substr(at, std::max<std::size_t>(end - at, 1)), QuoteLimit);
        }
        report.Errors.push_back(Position(text, at) + ": não é um documento JSON: " + why);
        return false;
    }

private:
    struct Frame {
        bool object;
        std::set<std::string> keys;
        std::string key;
    };

    bool InArray() const {
        return std::any_of(frames.begin(), frames.end(), [](const Frame& f) { return !f.object; });
    }
    std::string Path() const {
        std::string path;
        for (const Frame& frame : frames) {
            path += (path.empty() ? "" : ".") + frame.key;
        }
        return path;
    }

    std::string_view text;
    ProfileSyntax& report;
    std::vector<Frame> frames;
};

}  // namespace

ProfileSyntax CheckProfileSyntax(std::string_view text) {
    ProfileSyntax report;
    const auto starts = [&](std::string_view bom) { return text.substr(0, bom.size()) == bom; };
    if (text.empty()) {
        report.Errors.push_back("o arquivo está vazio (permitido: um documento JSON)");
    } else if (starts("\xFF\xFE") || starts("\xFE\xFF")) {
        report.Errors.push_back(
            "linha 1, coluna 1: texto UTF-16 (começa com uma marca de ordem de bytes): um perfil "
            "é texto UTF-8");
    } else if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
        // The reader would take the first NUL for the end and ignore what follows.
        report.Errors.push_back(Position(text, nul) +
                                ": byte NUL: um perfil é texto UTF-8, não binário nem UTF-16");
    } else {
        SyntaxReader reader(text, report);
        Json::sax_parse(text, &reader);
    }
    return report;
}

std::string PrintableText(std::string_view text, std::size_t limit) {
    std::string out;
    std::size_t shown = 0;
    for (std::size_t at = 0; at < text.size(); ++shown) {
        if (shown == limit) {
            out += "…";
            break;
        }
        char escaped[12];
        const std::size_t length = SequenceLength(text, at);
        if (length == 0) {
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(text[at]));
            out += escaped;
            ++at;
            continue;
        }
        const std::string_view sequence = text.substr(at, length);
        if (const unsigned c = CodePoint(sequence); IsControl(c)) {
            std::snprintf(escaped, sizeof escaped, "\\u%04X", c);
            out += escaped;
        } else {
            out += sequence;
        }
        at += length;
    }
    return out;
}

}  // namespace vyx
