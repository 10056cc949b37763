#pragma once
// Where `read -o FOLDER` puts the profiles of several devices: one file per
// device, named after its ID (the device's identity, whatever port it is on),
// and never one device of the run over another's file.

#include <optional>
#include <set>
#include <string>

#include "DeviceIdentity.h"

namespace vyx::cli {

class ProfileFolder {
public:
    explicit ProfileFolder(std::string folder);

    /// Why the folder cannot take profiles (missing, not a folder, not writable);
    /// asked before any device is read.
    std::optional<std::string> Problem() const;

    /// "FOLDER/00A1B2C3-00000039-56595800.json"; a later device of this run with
    /// the same ID gets "-2", "-3", ... before ".json".
    std::string PathFor(const DeviceId& id);

private:
    std::string folder;
    std::set<std::string> taken;
};

}  // namespace vyx::cli
