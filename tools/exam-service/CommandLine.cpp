#include "CommandLine.h"

#include <array>
#include <charconv>
#include <optional>
#include <utility>

#include "DecimalSeconds.h"

namespace tessaro {

namespace {

constexpr std::array<std::pair<std::string_view, StatusMode>, 7> statusModes { {
    { "default", StatusMode::Default },
    { "fallback", StatusMode::Fallback },
    { "html-404", StatusMode::Html404 },
    { "valid-500", StatusMode::Valid500 },
    { "empty", StatusMode::Empty },
    { "drop", StatusMode::Drop },
    { "custom", StatusMode::Custom },
} };

constexpr std::array<std::string_view, 9> optionsWithValue {
    "--port",        "--status",       "--routing",     "--fallback-domain", "--status-body",
    "--status-code", "--status-delay", "--launch-page", "--request-log",
};

std::optional<int> integerIn(std::string_view text, int lowest, int highest)
{
    int value = 0;
    const char* end = text.data() + text.size();
    auto [stop, failure] = std::from_chars(text.data(), end, value);
    if (text.empty() || failure != std::errc {} || stop != end || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

bool takesValue(std::string_view name)
{
    for (std::string_view option : optionsWithValue) {
        if (option == name)
            return true;
    }
    return false;
}

}

CommandLine::CommandLine(const std::vector<std::string>& arguments, int defaultPort)
    : m_listenPort(defaultPort)
{
    bool statusBodyGiven = false;
    bool statusCodeGiven = false;
    for (size_t index = 0; index < arguments.size() && m_problem.empty(); ++index) {
        const std::string& argument = arguments[index];
        if (argument == "--help" || argument == "-h") {
            m_helpWanted = true;
            continue;
        }
        size_t equals = argument.find('=');
        std::string_view name = std::string_view(argument).substr(0, equals);
        if (!takesValue(name)) {
            fail("unknown option '" + argument + "'");
            break;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (index + 1 < arguments.size()) {
            value = arguments[++index];
        } else {
            fail("option " + std::string(name) + " needs a value");
            break;
        }
        statusBodyGiven = statusBodyGiven || name == "--status-body";
        statusCodeGiven = statusCodeGiven || name == "--status-code";
        apply(name, value);
    }
    if (m_problem.empty())
        checkCombinations(statusBodyGiven, statusCodeGiven);
}

void CommandLine::apply(std::string_view name, const std::string& value)
{
    if (name == "--port") {
        std::optional<int> port = integerIn(value, 0, 65535);
        if (!port) {
            fail("--port takes a number from 0 to 65535, got '" + value + "'");
            return;
        }
        m_listenPort = *port;
    } else if (name == "--status") {
        for (const auto& [modeName, mode] : statusModes) {
            if (modeName == value) {
                m_serviceOptions.statusMode = mode;
                return;
            }
        }
        fail("unknown --status mode '" + value + "'");
    } else if (name == "--routing") {
        m_serviceOptions.routing = value;
    } else if (name == "--fallback-domain") {
        m_serviceOptions.fallbackDomain = value;
    } else if (name == "--status-body") {
        m_serviceOptions.statusBody = value;
    } else if (name == "--status-code") {
        std::optional<int> code = integerIn(value, 100, 599);
        if (!code) {
            fail("--status-code takes an HTTP status from 100 to 599, got '" + value + "'");
            return;
        }
        m_serviceOptions.statusCode = *code;
    } else if (name == "--status-delay") {
        std::optional<std::chrono::milliseconds> delay = DecimalSeconds::parse(value);
        if (!delay) {
            fail("--status-delay takes decimal seconds from 0 to 3600, got '" + value + "'");
            return;
        }
        m_serviceOptions.statusDelay = *delay;
    } else if (name == "--launch-page") {
        m_serviceOptions.launchPageFile = value;
    } else if (name == "--request-log") {
        m_serviceOptions.requestLogFile = value;
    }
}

// An option that the chosen mode would silently ignore is a mistake in the caller's set-up,
// so it is refused rather than dropped.
void CommandLine::checkCombinations(bool statusBodyGiven, bool statusCodeGiven)
{
    StatusMode mode = m_serviceOptions.statusMode;
    bool custom = mode == StatusMode::Custom;
    bool document = mode == StatusMode::Default || mode == StatusMode::Fallback || mode == StatusMode::Valid500;
    if (custom && !statusBodyGiven) {
        fail("--status custom needs --status-body");
    } else if (!custom && (statusBodyGiven || statusCodeGiven)) {
        fail("--status-body and --status-code apply to --status custom only");
    } else if (!document && (m_serviceOptions.routing || m_serviceOptions.fallbackDomain)) {
        fail("--routing and --fallback-domain apply to --status default, fallback and valid-500 only");
    }
}

void CommandLine::fail(std::string text)
{
    if (m_problem.empty())
        m_problem = std::move(text);
}

std::string CommandLine::usage()
{
    return R"(Usage: exam-service [OPTIONS]
A local exam service for tessaro-local, listening on 127.0.0.1 only.

  --port N                port to listen on (0 picks a free one; default: the built-in port)
  --status MODE           how /status.json answers:
                            default    200, routing "default"
                            fallback   200, routing "fallback"
                            html-404   404 with an HTML not-found page
                            valid-500  500 with a valid document (routing "default")
                            empty      200 with an empty body
                            drop       the connection is cut mid-answer
                            custom     --status-body with --status-code
  --routing TEXT          "routing" member for default, fallback and valid-500
  --fallback-domain TEXT  "fallback_domain" member (default: http://127.0.0.1:PORT/fallback)
  --status-body TEXT      body for --status custom (sent as application/json)
  --status-code N         status code for --status custom (default 200)
  --status-delay SECONDS  wait this long (decimal) before answering /status.json
  --launch-page FILE      serve FILE at /native-launch instead of the demo exam page
  --request-log FILE      append one JSON line per request to FILE
  --help                  show this text
)";
}

}
