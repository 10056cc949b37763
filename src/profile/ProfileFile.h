#pragma once
// A configuration profile on disk: the editor's values as a JSON file that names
// each value by what it means, with a format version. The window saves and loads
// it (Ctrl+S, Ctrl+O) and vyxctl writes it to devices, so a refused profile must
// say exactly what is wrong: file, key and what the key allows.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "EditorSnapshot.h"

namespace vyx {

/// What reading a profile gave: the editor's values, or every reason it was refused.
struct ProfileResult {
    std::optional<EditorSnapshot> Editor;
    /// One line each, "FILE: KEY: what is wrong (allowed: ...)".
    std::vector<std::string> Errors;
};

/// A refused profile's reasons as one message, a line each.
std::string RefusalText(const ProfileResult& result);

class ProfileFile {
public:
    /// The format this program reads and writes.
    static constexpr int FormatVersion = 1;
    /// Larger files are refused before they are parsed.
    static constexpr std::size_t MaxFileSize = 64 * 1024;

    /// Checks `text` as a profile; `fileName` only goes into the messages. Unknown
    /// and missing keys, wrong types, values out of range and a "Durante" box set
    /// together with "Entrada" or "Saída" are refused. An accepted profile passes
    /// the write checks.
    static ProfileResult Parse(std::string_view text, const std::string& fileName);
    /// Checks the whole contents of a file named `fileName`: too large a text is
    /// refused before it is parsed.
    static ProfileResult ParseContents(std::string_view text, const std::string& fileName);
    /// Reads and checks the file at `path`.
    static ProfileResult Load(const std::string& path);

    /// The profile text of an editor that passes the write checks; nothing when
    /// it does not (such a profile would be refused on reading).
    static std::optional<std::string> Format(const EditorSnapshot& editor);
    /// Writes the profile of `editor` to `path` through a temporary file, so a
    /// failed save leaves an earlier file whole. Returns a message on failure.
    static std::optional<std::string> Save(const std::string& path, const EditorSnapshot& editor);
};

}  // namespace vyx
