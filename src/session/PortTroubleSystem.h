#pragma once
// The system-specific half of PortTrouble: one source file per system.

#include <string>

#include "PortTrouble.h"

namespace vyx::port_trouble {

/// Sorts the system code carried by a failed open.
PortTrouble::Kind KindOfOpenFailure(int systemCode);

/// What is known about a device the user may not open (whom it belongs to, what
/// to do), or empty when nothing is.
std::string RefusalDetail(const std::string& devicePath);

/// Replaces every `field` in `text` with `value`.
inline void Fill(std::string& text, const std::string& field, const std::string& value) {
    for (std::size_t at = text.find(field); at != std::string::npos;
         at = text.find(field, at + value.size())) {
        text.replace(at, field.size(), value);
    }
}

}  // namespace vyx::port_trouble
