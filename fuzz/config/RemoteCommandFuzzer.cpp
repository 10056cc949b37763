// Any texts the technician could leave in the editor: the remote command list must
// always hold its heading and nine lines, and a listed command may carry only
// digits and commas between its brackets, whatever was typed.
// Input: three list positions, two bytes of check boxes, then the thirteen edit
// texts separated by 0x00 bytes (missing texts are empty).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "EditorChecks.h"
#include "RemoteCommands.h"

namespace {

constexpr std::size_t FixedBytes = vyx::EditorListCount + 2;
constexpr std::size_t ListedLines = 10;

bool Bit(const std::uint8_t* boxes, int index) {
    return (boxes[index / 8] >> (index % 8) & 1) != 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < FixedBytes) {
        return 0;
    }
    vyx::EditorSnapshot editor;
    for (std::size_t i = 0; i < vyx::EditorListCount; ++i) {
        // Any selection a list can hold, none included, and a few past its end.
        editor.Lists[i] = static_cast<std::int8_t>(data[i]) % 20;
    }
    const std::uint8_t* boxes = data + vyx::EditorListCount;
    editor.Acp = {Bit(boxes, 0), Bit(boxes, 1)};
    editor.Acn = {Bit(boxes, 2), Bit(boxes, 3)};
    for (std::size_t c = 0; c < vyx::TripleConditionCount; ++c) {
        const int b = 4 + static_cast<int>(c) * 2;
        editor.Triples[c] = {Bit(boxes, b), Bit(boxes, b + 1), Bit(boxes, (b + 7) % 16),
                             Bit(boxes, (b + 9) % 16), Bit(boxes, (b + 11) % 16)};
    }
    const char* text = reinterpret_cast<const char*>(data + FixedBytes);
    const char* end = reinterpret_cast<const char*>(data + size);
    for (std::string& field : editor.Texts) {
        const char* stop = std::find(text, end, '\0');
        field.assign(text, stop);
        text = stop == end ? end : stop + 1;
    }

    const vyx::RemoteCommandList list = vyx::MakeRemoteCommandList(editor);
    if (list.Lines.size() != ListedLines) {
        __builtin_trap();
    }
    for (const vyx::EditorField field : list.FieldsToEmpty) {
        if (vyx::IsList(field) || vyx::PassesRule(field, editor.Text(field))) {
            __builtin_trap();
        }
    }
    for (const std::string& line : list.Lines) {
        const std::size_t open = line.find('[');
        const std::size_t close = line.find(']');
        if (line[0] != '#') {
            continue;  // the heading or an error line
        }
        if (open == std::string::npos || close == std::string::npos || close < open ||
            !std::all_of(line.begin() + static_cast<std::ptrdiff_t>(open) + 1,
                         line.begin() + static_cast<std::ptrdiff_t>(close),
                         [](char c) { return (c >= '0' && c <= '9') || c == ','; })) {
            __builtin_trap();
        }
    }
    return 0;
}
