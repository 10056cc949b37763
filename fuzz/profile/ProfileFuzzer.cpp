// Feeds arbitrary file contents to the profile reader: every text is either
// refused with at least one reason or accepted as an editor that passes the write
// checks, and an accepted profile written out again reads back as the same editor.
// No reason carries a control character of the text to the terminal.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "EditorChecks.h"
#include "ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vyx::ProfileResult read = vyx::ProfileFile::Parse(text, "fuzz.json");
    if (read.Editor.has_value() == !read.Errors.empty()) {
        std::abort();  // accepted with reasons, or refused without one
    }
    for (const std::string& reason : read.Errors) {
        for (const char c : reason) {
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                std::abort();  // the text steers the terminal it is shown on
            }
        }
    }
    if (!read.Editor) {
        return 0;
    }
    if (vyx::FirstFailingCheck(*read.Editor)) {
        std::abort();  // an accepted profile would be refused by CONFIGURAR
    }
    const auto written = vyx::ProfileFile::Format(*read.Editor);
    if (!written) {
        std::abort();
    }
    const vyx::ProfileResult again = vyx::ProfileFile::Parse(*written, "again.json");
    if (!again.Editor || !(*again.Editor == *read.Editor)) {
        std::abort();
    }
    return 0;
}
