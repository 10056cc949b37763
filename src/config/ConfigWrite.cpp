#include "ConfigWrite.h"

#include <utility>

#include "EditorChecks.h"

namespace vyx {

ConfigWrite::ConfigWrite(LinkHost& host, ConfigHost& editor, ConfigTransferStart startTransfer)
    : host(host), editor(editor), startTransfer(std::move(startTransfer)) {}

bool ConfigWrite::B_SetConfigClick() {
    const EditorSnapshot snapshot = editor.ReadEditor();
    if (const auto failure = FirstFailingCheck(snapshot)) {
        host.ShowMessage(failure->Message, std::string(CheckFailureCaption), MsgIcon::Warning,
                         MsgButtons::Ok);
        if (failure->EmptiesField()) {
            editor.EmptyField(failure->Field);
        }
        return false;
    }
    // Encoded in place: the transfer engine reads the block from here.
    encoded = EncodeConfigImage(ValuesOfCheckedSnapshot(snapshot));
    startTransfer(encoded.Image, encoded.CheckValues);
    return true;
}

}  // namespace vyx
