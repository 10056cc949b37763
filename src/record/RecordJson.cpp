#include "RecordJson.h"

#include <algorithm>

#include "ProfileSyntax.h"
#include "RecordText.h"

namespace vyx::record_json {

std::string Dump(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

ObjectReader::ObjectReader(const Json& object, std::string where)
    : object(object), where(std::move(where)) {
    if (!object.is_object()) {
        Fail("não é um objeto JSON");
    }
}

void ObjectReader::Fail(const std::string& why) {
    if (Reason.empty()) {
        Reason = where + why;
    }
}

const Json* ObjectReader::Find(std::string_view key) {
    asked.push_back(key);
    if (!Ok()) {
        return nullptr;
    }
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

const Json* ObjectReader::Member(std::string_view key, Json::value_t type) {
    const Json* value = Find(key);
    if (value != nullptr && value->type() != type) {
        Fail("tipo errado: " + std::string(key));
        return nullptr;
    }
    return value;
}

void ObjectReader::Text(std::string_view key, std::string& out, bool required, std::size_t cap) {
    const Json* value = Member(key, Json::value_t::string);
    if (value == nullptr) {
        if (required && Ok()) {
            Fail("campo ausente: " + std::string(key));
        }
        return;
    }
    const std::string& text = value->get_ref<const std::string&>();
    if (CharacterCount(text) > cap) {
        Fail("texto longo demais: " + std::string(key));
        return;
    }
    out = text;
}

void ObjectReader::Number(std::string_view key, std::optional<std::int64_t>& out, std::int64_t min,
                          std::int64_t max) {
    const Json* value = Find(key);
    if (value == nullptr) {
        return;
    }
    if (!value->is_number_integer()) {
        Fail("tipo errado: " + std::string(key));
        return;
    }
    // A number past the signed range is unsigned only: out of any range here.
    const bool inRange =
        value->is_number_unsigned()
            ? value->get<std::uint64_t>() <= static_cast<std::uint64_t>(max) &&
                  static_cast<std::int64_t>(value->get<std::uint64_t>()) >= min
            : value->get<std::int64_t>() >= min && value->get<std::int64_t>() <= max;
    if (!inRange) {
        Fail("fora do intervalo: " + std::string(key));
        return;
    }
    out = value->get<std::int64_t>();
}

void ObjectReader::Flag(std::string_view key, bool& out) {
    if (const Json* value = Member(key, Json::value_t::boolean)) {
        out = value->get<bool>();
    }
}

void ObjectReader::RefuseUnknown() {
    if (!Ok()) {
        return;
    }
    for (const auto& [key, value] : object.items()) {
        if (std::find(asked.begin(), asked.end(), key) == asked.end()) {
            Fail("campo desconhecido: " + PrintableText(key, QuoteLimit));
            return;
        }
    }
}

}  // namespace vyx::record_json
