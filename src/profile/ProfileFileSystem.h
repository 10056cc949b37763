#pragma once
// The system-specific half of ProfileFile: reading a profile and replacing one
// on disk, one source file per system. Only what went wrong is returned here;
// the words a user reads are chosen by ProfileFile.

#include <cstddef>
#include <string>
#include <string_view>

namespace vyx::profile_file {

enum class FileRefusal {
    None,        ///< done
    Folder,      ///< the path names a folder
    NotRegular,  ///< a device, a FIFO, a socket (or a link to one)
    ReadOnly,    ///< the target exists and allows no writing
    System,      ///< the system refused; `Cause` says why
};

struct FileOutcome {
    FileRefusal Refusal = FileRefusal::None;
    /// The system's own words for a System refusal.
    std::string Cause;
};

/// Reads up to `limit` + 1 bytes of the regular file at `path` into `text`. Never
/// waits on a FIFO or a device: anything but a regular file is refused unread.
FileOutcome ReadRegularFile(const std::string& path, std::size_t limit, std::string& text);

/// Puts `text` at `path` so that an interrupted save leaves the earlier file whole:
/// the text goes to a new file of an unpredictable name in the same folder, made
/// for this save only and flushed to the disk, which then replaces the target. A
/// link is followed to its target; the target's mode is kept; a target that is
/// not a regular file, or is read-only, is refused untouched. The new file is
/// removed on every failure.
FileOutcome ReplaceRegularFile(const std::string& path, std::string_view text);

}  // namespace vyx::profile_file
