#include "StatusEndpoint.h"

#include <nlohmann/json.hpp>

#include "exam-service-assets/notFoundPage.h"

namespace tessaro {

namespace {

constexpr const char* jsonType = "application/json";

// Enough of a document to look like one, so only the cut can make the answer fail.
constexpr std::string_view droppedStart = R"({"routing":"def)";

std::string statusDocument(const ServiceOptions& options, int port)
{
    std::string routing = options.statusMode == StatusMode::Fallback ? "fallback" : "default";
    nlohmann::ordered_json document {
        { "routing", options.routing.value_or(routing) },
        { "fallback_domain",
          options.fallbackDomain.value_or("http://127.0.0.1:" + std::to_string(port) + "/fallback") },
    };
    return document.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}

StatusEndpoint::StatusEndpoint(const ServiceOptions& options, int port)
    : m_mode(options.statusMode)
    , m_customCode(options.statusCode)
{
    switch (m_mode) {
    case StatusMode::Default:
    case StatusMode::Fallback:
    case StatusMode::Valid500:
        m_body = statusDocument(options, port);
        break;
    case StatusMode::Html404:
        m_body = assets::notFoundPage;
        break;
    case StatusMode::Custom:
        m_body = options.statusBody;
        break;
    case StatusMode::Empty:
    case StatusMode::Drop:
        break;
    }
}

void StatusEndpoint::answer(httplib::Response& response) const
{
    switch (m_mode) {
    case StatusMode::Default:
    case StatusMode::Fallback:
    case StatusMode::Empty:
        response.status = 200;
        response.set_content(m_body, jsonType);
        break;
    case StatusMode::Valid500:
        response.status = 500;
        response.set_content(m_body, jsonType);
        break;
    case StatusMode::Html404:
        response.status = 404;
        response.set_content(m_body, "text/html; charset=utf-8");
        break;
    case StatusMode::Custom:
        response.status = m_customCode;
        response.set_content(m_body, jsonType);
        break;
    case StatusMode::Drop:
        // The headers and a first piece go out; refusing the rest makes httplib close the
        // connection with the chunked body unfinished, which every client reports as an error.
        response.status = 200;
        response.set_chunked_content_provider(jsonType, [](size_t, httplib::DataSink& sink) {
            sink.write(droppedStart.data(), droppedStart.size());
            return false;
        });
        break;
    }
}

}
