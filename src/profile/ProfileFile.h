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
    /// One line each, "FILE: KEY: what is wrong (permitido: ...)".
    std::vector<std::string> Errors;
};

class ProfileFile {
public:
    /// The format this program reads and writes.
    static constexpr int FormatVersion = 1;
    /// Larger files are refused before they are parsed.
    static constexpr std::size_t MaxFileSize = 64 * 1024;

    /// Checks `text` as a profile; `fileName` only goes into the messages. A text
    /// that is not a JSON document (with where and why), keys given twice, unknown
    /// and missing keys, wrong types, values out of range and a "Durante" box set
    /// together with "Entrada" or "Saída" are refused. An accepted profile passes
    /// the write checks. What the text holds reaches the messages escaped.
    static ProfileResult Parse(std::string_view text, const std::string& fileName);
    /// Reads and checks the file at `path`; anything but a regular file is
    /// refused without waiting on it.
    static ProfileResult Load(const std::string& path);

    /// Every key whose value in `editor` fails the write checks, one line each,
    /// "KEY: what is wrong (permitido: ...)": the words reading such a profile uses.
    static std::vector<std::string> CheckFailures(const EditorSnapshot& editor);

    /// The profile text of an editor that passes the write checks; nothing when
    /// it does not (such a profile would be refused on reading).
    static std::optional<std::string> Format(const EditorSnapshot& editor);
    /// The profile text of `editor` as it stands. When its values fail the checks
    /// the profile is marked unchecked, and reading it refuses every failing key
    /// until the file is mended: what a device holds can be kept, never written.
    static std::string FormatUnchecked(const EditorSnapshot& editor);

    /// Writes the profile of `editor` to `path` (see SaveText). Returns a message
    /// on failure.
    static std::optional<std::string> Save(const std::string& path, const EditorSnapshot& editor);
    /// Puts `text` at `path` through a new file beside it that replaces it once
    /// whole, so a failed save leaves an earlier file whole. A folder, a device,
    /// a FIFO, a link to one of those and a read-only file are refused untouched;
    /// a link to a profile replaces the profile and the mode stays. Returns a
    /// message on failure.
    static std::optional<std::string> SaveText(const std::string& path, std::string_view text);
};

}  // namespace vyx
