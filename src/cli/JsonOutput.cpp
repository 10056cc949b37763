#include "JsonOutput.h"

namespace vyx::cli {

std::string JsonText(const nlohmann::ordered_json& document) {
    return document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace vyx::cli
