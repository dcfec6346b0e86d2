#include "web/StatusResponse.h"

#include <utility>

#include <nlohmann/json.hpp>

namespace tessaro {

namespace {

std::variant<std::string, DecodingError> decodeMember(const nlohmann::json& document, const std::string& name)
{
    const auto found = document.find(name);
    if (found == document.end())
        return DecodingError { "Invalid status document: member \"" + name + "\" is missing" };
    if (found->is_null())
        return DecodingError { "Invalid status document: member \"" + name + "\" is null" };
    if (!found->is_string()) {
        return DecodingError { "Invalid status document: member \"" + name + "\" is " + found->type_name()
                               + ", not a string" };
    }
    return found->get<std::string>();
}

}

std::variant<Response, DecodingError> decodeResponse(std::string_view body)
{
    const auto document = nlohmann::json::parse(body, nullptr, false);
    if (document.is_discarded())
        return DecodingError { "Invalid status document: not JSON" };
    if (!document.is_object()) {
        return DecodingError { std::string("Invalid status document: the top level is ") + document.type_name()
                               + ", not an object" };
    }

    Response response;
    for (auto [name, field] :
         { std::pair { "routing", &Response::routing }, std::pair { "fallback_domain", &Response::fallbackDomain } }) {
        auto value = decodeMember(document, name);
        if (auto* error = std::get_if<DecodingError>(&value))
            return *error;
        response.*field = std::move(std::get<std::string>(value));
    }
    return response;
}

}
