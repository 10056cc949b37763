#pragma once
// The configuration write ("CONFIGURAR"): the editor's checks, then the block
// and its check values are handed to the package transfer engine (kind 6).

#include <functional>
#include <span>

#include "ConfigHost.h"
#include "ConfigImage.h"
#include "LinkHost.h"

namespace vyx {

/// Starts the package transfer of a configuration block with its check values.
/// The block stays alive and unchanged until the next write starts.
using ConfigTransferStart =
    std::function<void(std::span<const std::uint8_t> image, const ConfigCheckValues& checkValues)>;

class ConfigWrite {
public:
    ConfigWrite(LinkHost& host, ConfigHost& editor, ConfigTransferStart startTransfer);

    /// Checks the editor; on the first failing check shows its message ("Erro",
    /// warning icon), empties the failing edit and sends nothing. Otherwise
    /// encodes the block and starts its transfer. Returns whether it started.
    bool B_SetConfigClick();

    /// The block of the latest write (what the transfer engine is sending).
    const ConfigImage& Image() const { return encoded.Image; }

private:
    LinkHost& host;
    ConfigHost& editor;
    ConfigTransferStart startTransfer;
    EncodedConfig encoded;
};

}  // namespace vyx
