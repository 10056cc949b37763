#include "ManualSections.h"

#include <cctype>
#include <span>
#include <vector>

#include "ProfileKeys.h"

namespace vyx {

namespace {

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
    return lines;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

// The heading help2man gives the subsection it makes of a paragraph's title line.
std::string SubsectionLine(std::string_view title) {
    return ".SS \"" + RoffText(title) + "\"";
}

// A key as the page shows it: never hyphenated, since a reader copies it as it
// stands.
std::string KeyText(std::string_view key) {
    return "\\%" + RoffText(key);
}

// One entry of the keys list: the keys in bold, the name the device's texts give
// the field, then what the keys allow.
std::string KeysEntry(std::span<const ProfileKey> keys) {
    const ProfileKey& first = keys.front();
    std::string entry = ".TP\n";
    const char* separator = "";
    for (const ProfileKey& key : keys) {
        entry += separator;
        entry += "\\fB" + KeyText(key.Key) + "\\fR";
        separator = ", ";
    }
    entry += " (" + RoffText(first.Entry->RemoteName) + ")\n" + RoffText(ProfileAllowed(first));
    for (const ProfileKey& key : keys) {
        const std::vector<const ProfileKey*> excluded = ProfileExclusiveWith(key);
        if (excluded.empty()) {
            continue;
        }
        entry += "; " + KeyText(key.Key) + " cannot be true together with";
        separator = " ";
        for (const ProfileKey* other : excluded) {
            entry += separator + KeyText(other->Key);
            separator = " or ";
        }
    }
    return entry + "\n";
}

}  // namespace

std::string RoffText(std::string_view text) {
    std::string out;
    if (!text.empty() && (text.front() == '.' || text.front() == '\'')) {
        out += "\\&";
    }
    for (const char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
    }
    return out;
}

std::string ProfileKeysSection() {
    // Left-aligned: a justified line of several long keys is mostly gaps.
    std::string section = "[PROFILE KEYS]\n.ad l\n";
    const std::span<const ProfileKey> keys = ProfileKeys();
    for (std::size_t i = 0; i < keys.size();) {
        // The boxes of one action are listed together; every other key alone.
        std::size_t end = i + 1;
        if (keys[i].Kind == ProfileValueKind::Box) {
            while (end < keys.size() && keys[end].Entry == keys[i].Entry) {
                ++end;
            }
        }
        section += KeysEntry(keys.subspan(i, end - i));
        i = end;
    }
    return section + ".ad b\n";
}

std::optional<std::string> ExitStatusSection(std::string_view help) {
    std::string section = "[EXIT STATUS]\n";
    bool anyCode = false;
    const std::vector<std::string_view> lines = Lines(help);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = Trimmed(lines[i]);
        std::size_t digits = 0;
        while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits]))) {
            ++digits;
        }
        if (digits > 0 && digits < line.size() && line[digits] == ' ') {
            section += ".TP\n.B " + std::string(line.substr(0, digits)) + "\n" +
                       RoffText(Trimmed(line.substr(digits))) + "\n";
            anyCode = true;
        } else if (anyCode && !line.empty()) {
            section += RoffText(line) + "\n";
        }
    }
    if (!anyCode) {
        return std::nullopt;
    }
    return section;
}

std::optional<std::string> WithoutHelpSubsection(std::string_view page, std::string_view help) {
    const std::vector<std::string_view> helpLines = Lines(help);
    if (helpLines.empty()) {
        return std::nullopt;
    }
    const std::string heading = SubsectionLine(Trimmed(helpLines.front()));
    std::string out;
    bool found = false;
    bool dropping = false;
    for (const std::string_view line : Lines(page)) {
        // The page's own description, appended after the help, begins a paragraph.
        if (dropping &&
            (line.starts_with(".SH") || line.starts_with(".SS") || line.starts_with(".PP"))) {
            dropping = false;
        }
        if (!found && line == heading) {
            found = true;
            dropping = true;
        }
        if (!dropping) {
            out += line;
            out += '\n';
        }
    }
    if (!found) {
        return std::nullopt;
    }
    return out;
}

}  // namespace vyx
