#include "tests/host/engine/PageCallEngine.h"

#include "platform/glib/GLibOwners.h"

namespace tessaro::testing {

namespace {

// The exam page's side of the bridge: a message function that keeps what it is given.
constexpr std::string_view pageSetUp = "var window = this;"
                                       "var calls = [];"
                                       "window.K$ = { macOS: { message: function () {"
                                       "    calls.push(Array.prototype.slice.call(arguments));"
                                       "} } };";

// Nothing when the message function had one call with exactly the expected name and text.
constexpr const char* verdict = "calls.length === 1 && calls[0].length === 2 && calls[0][0] === expectedName"
                                " && calls[0][1] === expectedText ? '' : 'the page received ' + JSON.stringify(calls)";

// A global of the page holding the text, from its UTF-8 bytes, NUL characters included.
void setText(JSCContext* context, const char* name, std::string_view text)
{
    const GRefPtr<GBytes, g_bytes_unref> bytes(g_bytes_new(text.data(), text.size()));
    const auto value = GObjectPtr<JSCValue>(jsc_value_new_string_from_bytes(context, bytes.get()));
    jsc_context_set_value(context, name, value.get());
}

}

std::optional<std::string> PageCallEngine::deliveryFault(std::string_view script, std::string_view name,
                                                         std::string_view text)
{
    if (auto fault = evaluate(pageSetUp))
        return "the page could not be set up: " + *fault;
    setText(m_context.get(), "expectedName", name);
    setText(m_context.get(), "expectedText", text);
    if (auto fault = evaluate(script))
        return "the script raised " + *fault;
    const auto result = GObjectPtr<JSCValue>(jsc_context_evaluate(m_context.get(), verdict, -1));
    const GCharPtr fault(jsc_value_to_string(result.get()));
    return fault && *fault ? std::optional<std::string>(fault.get()) : std::nullopt;
}

std::optional<std::string> PageCallEngine::evaluate(std::string_view script)
{
    const auto result = GObjectPtr<JSCValue>(
        jsc_context_evaluate(m_context.get(), script.data(), static_cast<gssize>(script.size())));
    JSCException* exception = jsc_context_get_exception(m_context.get());
    if (!exception)
        return std::nullopt;
    const GCharPtr report(jsc_exception_report(exception));
    std::string description = report ? report.get() : "an exception without a report";
    jsc_context_clear_exception(m_context.get());
    return description;
}

}
