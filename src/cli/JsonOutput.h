#pragma once
// The one way vyxctl writes --json: well-formed whatever the input, since port
// names and device texts are bytes that need not be UTF-8.

#include <nlohmann/json.hpp>
#include <string>

namespace vyx::cli {

/// The document indented by two, each invalid UTF-8 sequence replaced by U+FFFD.
std::string JsonText(const nlohmann::ordered_json& document);

}  // namespace vyx::cli
