#pragma once
// The text commands that configure a device remotely through its tracker, made
// from the editor's values for the technician to copy. Nothing is sent.

#include <string>
#include <vector>

#include "EditorSnapshot.h"

namespace vyx {

struct RemoteCommandList {
    /// The heading, then one line per command (command, check value, "_" fill,
    /// label) or, for a command with a bad value, its error line.
    std::vector<std::string> Lines;
    /// Edits whose value was bad, to be emptied (lists never are).
    std::vector<EditorField> FieldsToEmpty;
};

/// The nine commands for `editor`, in listing order. RS232-A has no command.
RemoteCommandList MakeRemoteCommandList(const EditorSnapshot& editor);

/// A listed command line: `command`, the XOR of its characters as two upper-case
/// hex digits, "_" up to 25 characters, then `label`.
std::string RemoteCommandLine(const std::string& command, const std::string& label);

}  // namespace vyx
