#include "web/StatusResponse.h"

#include <nlohmann/json.hpp>

namespace tessaro {

std::string_view Response::codingKeyName(CodingKeys key)
{
    return key == CodingKeys::routing ? "routing" : "fallback_domain";
}

namespace {

std::variant<std::string, DecodingError> decodeMember(const nlohmann::json& document, Response::CodingKeys key)
{
    const std::string name(Response::codingKeyName(key));
    const auto found = document.find(name);
    if (found == document.end())
        return DecodingError { "Invalid status document: member \"" + name + "\" is missing" };
    if (found->is_null())
        return DecodingError { "Invalid status document: member \"" + name + "\" is null" };
    if (!found->is_string())
        return DecodingError { "Invalid status document: member \"" + name + "\" is " + found->type_name()
                               + ", not a string" };
    return found->get<std::string>();
}

}

std::variant<Response, DecodingError> decodeResponse(std::string_view body)
{
    const auto document = nlohmann::json::parse(body, nullptr, false);
    if (document.is_discarded())
        return DecodingError { "Invalid status document: not JSON" };
    if (!document.is_object())
        return DecodingError { std::string("Invalid status document: the top level is ") + document.type_name()
                               + ", not an object" };

    Response response;
    for (const auto key : { Response::CodingKeys::routing, Response::CodingKeys::fallback_domain }) {
        auto value = decodeMember(document, key);
        if (auto* error = std::get_if<DecodingError>(&value))
            return *error;
        (key == Response::CodingKeys::routing ? response.routing : response.fallback_domain)
            = std::move(std::get<std::string>(value));
    }
    return response;
}

}
