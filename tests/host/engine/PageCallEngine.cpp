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

// The value at the index as UTF-8 bytes, NUL characters included; nothing when it is no text.
std::optional<std::string> textAt(JSCValue* array, unsigned index)
{
    const auto value = GObjectPtr<JSCValue>::adopt(jsc_value_object_get_property_at_index(array, index));
    if (!jsc_value_is_string(value.get()))
        return std::nullopt;
    const GRefPtr<GBytes, g_bytes_unref> bytes(jsc_value_to_string_as_bytes(value.get()));
    gsize size = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(bytes.get(), &size));
    return std::string(data ? data : "", size);
}

}

std::optional<std::string> PageCallEngine::deliveryFault(std::string_view script, std::string_view name,
                                                         std::string_view text)
{
    if (auto fault = evaluate(pageSetUp))
        return "the page could not be set up: " + *fault;
    if (auto fault = evaluate(script))
        return "the script raised " + *fault;
    const auto calls = GObjectPtr<JSCValue>::adopt(jsc_context_evaluate(m_context.get(), "calls.length", -1));
    if (jsc_value_to_int32(calls.get()) != 1)
        return "the message function was called " + std::to_string(jsc_value_to_int32(calls.get())) + " times";
    const auto call = GObjectPtr<JSCValue>::adopt(jsc_context_evaluate(m_context.get(), "calls[0]", -1));
    const auto arguments = GObjectPtr<JSCValue>::adopt(jsc_value_object_get_property(call.get(), "length"));
    if (jsc_value_to_int32(arguments.get()) != 2)
        return "the message function received " + std::to_string(jsc_value_to_int32(arguments.get())) + " arguments";
    if (textAt(call.get(), 0) != name)
        return "the name arrived as " + textAt(call.get(), 0).value_or("no text");
    const auto received = textAt(call.get(), 1);
    const auto size = std::to_string(received.value_or("").size());
    if (received != text)
        return "the payload arrived with " + size + " bytes instead of " + std::to_string(text.size());
    return std::nullopt;
}

std::optional<std::string> PageCallEngine::evaluate(std::string_view script)
{
    const auto result = GObjectPtr<JSCValue>::adopt(
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
