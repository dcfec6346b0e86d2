#include "ExamService.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <memory>
#include <string>

namespace tessaro {
namespace {

// The service's status modes are the documents and failures tessaro-local routes on; each
// must answer exactly as its name promises, on a free port.
std::unique_ptr<ExamService> started(ServiceOptions options)
{
    auto service = std::make_unique<ExamService>(std::move(options));
    std::optional<std::string> failure = service->start(0);
    EXPECT_FALSE(failure) << *failure;
    return service;
}

ServiceOptions statusOptions(StatusMode mode)
{
    ServiceOptions options;
    options.statusMode = mode;
    return options;
}

TEST(ExamService, StatusModesAnswerWithTheirCodeAndBody)
{
    struct Case {
        const char* name;
        ServiceOptions options;
        int code;
        std::string body;
        std::string type;
    };
    ServiceOptions overridden = statusOptions(StatusMode::Fallback);
    overridden.routing = "FALLBACK";
    overridden.fallbackDomain = "https://fallback.example";
    ServiceOptions custom = statusOptions(StatusMode::Custom);
    custom.statusBody = R"({"routing":null})";
    custom.statusCode = 503;
    const std::string document = R"({"routing":"ROUTING","fallback_domain":"http://127.0.0.1:PORT/fallback"})";
    const Case cases[] = {
        { "default", statusOptions(StatusMode::Default), 200, document, "application/json" },
        { "fallback", statusOptions(StatusMode::Fallback), 200, document, "application/json" },
        { "valid-500", statusOptions(StatusMode::Valid500), 500, document, "application/json" },
        { "overridden", overridden, 200, R"({"routing":"FALLBACK","fallback_domain":"https://fallback.example"})",
          "application/json" },
        { "empty", statusOptions(StatusMode::Empty), 200, "", "application/json" },
        { "custom", custom, 503, R"({"routing":null})", "application/json" },
        { "html-404", statusOptions(StatusMode::Html404), 404, "<title>Not found</title>", "text/html; charset=utf-8" },
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        std::unique_ptr<ExamService> service = started(test.options);
        httplib::Result result = httplib::Client("127.0.0.1", service->port()).Get("/status.json");
        ASSERT_TRUE(result) << httplib::to_string(result.error());
        std::string expected = test.body;
        if (std::size_t at = expected.find("ROUTING"); at != std::string::npos)
            expected.replace(at, 7, test.name == std::string("fallback") ? "fallback" : "default");
        if (std::size_t at = expected.find("PORT"); at != std::string::npos)
            expected.replace(at, 4, std::to_string(service->port()));
        EXPECT_EQ(result->status, test.code);
        // The not-found page is checked by its title, every document whole.
        EXPECT_TRUE(test.code == 404 ? result->body.find(expected) != std::string::npos : result->body == expected)
            << result->body;
        EXPECT_EQ(result->get_header_value("Content-Type"), test.type);
    }
}

TEST(ExamService, DroppedStatusIsATransportErrorForTheClient)
{
    std::unique_ptr<ExamService> service = started(statusOptions(StatusMode::Drop));
    EXPECT_FALSE(httplib::Client("127.0.0.1", service->port()).Get("/status.json"));
}

}
}
