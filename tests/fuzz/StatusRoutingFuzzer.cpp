// A status document from the network decides where the exam starts. The input is the
// document's body up to its last line feed, and the exam key after it: the key comes
// from a launch link, which anyone can write.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "tests/fuzz/Invariant.h"
#include "tests/fuzz/LineText.h"
#include "tests/support/FakeHost.h"
#include "web/LaunchAddress.h"
#include "web/StatusResponse.h"
#include "window/ViewController.h"

namespace tessaro::fuzzing {
namespace {

const Endpoints endpoints { "https://status.exam.test/status.json", "https://exam.test/native-launch" };
const std::string defaultPrefix = endpoints.launchPageURL + "?examkey=";

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isUnreserved(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
        || c == '_' || c == '~';
}

// The default launch address carries the key as one query value that decodes back to
// exactly the key: nothing in it can end the value, add a member or start a fragment.
bool carriesKeyAsOneQueryValue(std::string_view address, std::string_view examKey)
{
    if (!address.starts_with(defaultPrefix))
        return false;
    const std::string_view value = address.substr(defaultPrefix.size());
    std::string decoded;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (isUnreserved(value[i])) {
            decoded += value[i];
            continue;
        }
        if (value[i] != '%' || i + 2 >= value.size() || hexValue(value[i + 1]) < 0 || hexValue(value[i + 2]) < 0)
            return false;
        decoded += static_cast<char>(hexValue(value[i + 1]) * 16 + hexValue(value[i + 2]));
        i += 2;
    }
    return decoded == examKey;
}

void checkDecision(std::string_view body, const std::string& examKey)
{
    const auto decoded = decodeResponse(body);
    if (const auto* error = std::get_if<DecodingError>(&decoded)) {
        require(!error->description.empty(), "a decoding error says what is wrong");
        require(carriesKeyAsOneQueryValue(launchAddress({}, {}, endpoints.launchPageURL, examKey), examKey),
                "the default launch address carries the key as one query value");
        return;
    }
    const auto& response = std::get<Response>(decoded);
    const auto address = launchAddress(response.routing, response.fallbackDomain, endpoints.launchPageURL, examKey);
    if (response.routing == "fallback") {
        require(address == response.fallbackDomain + "/init", "fallback routing opens the fallback site's /init");
    } else {
        require(carriesKeyAsOneQueryValue(address, examKey), "any other routing opens the launch page with the key");
    }
}

// The whole way, as the program takes it: the status check completes with the body and
// the exam view loads at most one address.
void checkLaunch(std::string_view body, const std::string& examKey)
{
    testing::FakeHost host;
    ViewController controller(host, endpoints, examKey);
    controller.loadView(host.window);
    host.clock.advance(ViewController::statusCheckDelaySeconds);
    require(host.http.fetches.size() == 1, "the status document is fetched once");
    host.http.completeFetch(0, { std::string(body), HttpResponse { 200 }, std::nullopt });
    host.clock.advance(0);

    for (const auto& line : host.output.lines)
        require(isOneTerminalLine(line), "every standard-output line is one terminal line");
    require(host.webView->loads.size() <= 1, "one status document loads at most one address");
    const auto decoded = decodeResponse(body);
    const auto* response = std::get_if<Response>(&decoded);
    if (response && response->routing == "fallback") {
        require(host.webView->loads.empty() || host.webView->loads.front() == response->fallbackDomain + "/init",
                "fallback routing loads the fallback site's /init or nothing");
        return;
    }
    require(host.webView->loads.size() == 1 && carriesKeyAsOneQueryValue(host.webView->loads.front(), examKey),
            "any other outcome loads the launch page with the key");
}

}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto split = input.rfind('\n');
    const std::string_view body = split == std::string_view::npos ? input : input.substr(0, split);
    const std::string examKey(split == std::string_view::npos ? std::string_view() : input.substr(split + 1));
    tessaro::fuzzing::checkDecision(body, examKey);
    tessaro::fuzzing::checkLaunch(body, examKey);
    return 0;
}
