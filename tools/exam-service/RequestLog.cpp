#include "RequestLog.h"

#include <nlohmann/json.hpp>

#include <array>
#include <string_view>

namespace tessaro {

namespace {

// httplib files the peer's and its own address among the headers; the client never sent them.
constexpr std::array<std::string_view, 4> addedByServer { "REMOTE_ADDR", "REMOTE_PORT", "LOCAL_ADDR", "LOCAL_PORT" };

bool isAddedByServer(const std::string& name)
{
    for (std::string_view added : addedByServer) {
        if (name == added)
            return true;
    }
    return false;
}

}

RequestLog::RequestLog(const std::string& path)
    : m_file(path, std::ios::out | std::ios::app | std::ios::binary)
{
}

void RequestLog::record(const httplib::Request& request)
{
    std::string line = describe(request);
    std::lock_guard lock(m_mutex);
    m_file << line << '\n' << std::flush;
}

std::string RequestLog::describe(const httplib::Request& request)
{
    size_t question = request.target.find('?');
    std::string query = question == std::string::npos ? std::string() : request.target.substr(question + 1);

    // Decoded from the query alone: httplib also files form fields of a body among its params.
    httplib::Params queryParams;
    httplib::detail::parse_query_text(query, queryParams);
    nlohmann::ordered_json params = nlohmann::ordered_json::object();
    for (const auto& [name, value] : queryParams) {
        if (!params.contains(name))
            params[name] = value;
    }
    // A header sent twice is one object member, its values joined as HTTP itself would.
    nlohmann::ordered_json headers = nlohmann::ordered_json::object();
    for (const auto& [name, value] : request.headers) {
        if (isAddedByServer(name))
            continue;
        if (headers.contains(name)) {
            headers[name] = headers[name].get<std::string>() + ", " + value;
        } else {
            headers[name] = value;
        }
    }

    nlohmann::ordered_json line {
        { "method", request.method }, { "path", request.path }, { "query", query },
        { "params", params },         { "headers", headers },   { "body", request.body.substr(0, longestBody) },
    };
    // Whatever bytes arrive, the line stays valid JSON: broken UTF-8 becomes U+FFFD.
    return line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}
