#include "tests/host/engine/PageCallEngine.h"

#include <jsc/jsc.h>

namespace tessaro::testing {

namespace {

// The exam page's side of the bridge: a message function that keeps what it is given.
constexpr std::string_view pageSetUp = "var window = this;"
                                       "var calls = [];"
                                       "window.K$ = { macOS: { message: function () {"
                                       "    calls.push(Array.prototype.slice.call(arguments));"
                                       "} } };";

using ValuePtr = std::unique_ptr<JSCValue, GObjectUnref>;

struct BytesUnref {
    void operator()(GBytes* bytes) const { g_bytes_unref(bytes); }
};

struct CharsFree {
    void operator()(char* text) const { g_free(text); }
};

int lengthOf(JSCValue* array)
{
    const ValuePtr length(jsc_value_object_get_property(array, "length"));
    return jsc_value_to_int32(length.get());
}

// The text as UTF-8 bytes, NUL characters included.
std::optional<std::string> utf8Bytes(JSCValue* value)
{
    if (!jsc_value_is_string(value))
        return std::nullopt;
    const std::unique_ptr<GBytes, BytesUnref> bytes(jsc_value_to_string_as_bytes(value));
    gsize size = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(bytes.get(), &size));
    return std::string(data ? data : "", size);
}

std::string mismatch(std::string_view what, std::string_view expected, std::string_view received)
{
    std::size_t same = 0;
    while (same < expected.size() && same < received.size() && expected[same] == received[same])
        ++same;
    return std::string(what) + " arrived with " + std::to_string(received.size()) + " bytes instead of "
        + std::to_string(expected.size()) + ", the first difference at byte " + std::to_string(same);
}

}

PageCallEngine::PageCallEngine()
    : m_context(jsc_context_new())
{
}

std::optional<std::string> PageCallEngine::deliveryFault(std::string_view script, std::string_view name,
                                                         std::string_view text)
{
    if (auto fault = evaluate(pageSetUp))
        return "the page could not be set up: " + *fault;
    if (auto fault = evaluate(script))
        return "the script raised " + *fault;
    const ValuePtr calls(jsc_context_get_value(m_context.get(), "calls"));
    return callFault(calls.get(), name, text);
}

std::optional<std::string> PageCallEngine::evaluate(std::string_view script)
{
    const ValuePtr result(jsc_context_evaluate(m_context.get(), script.data(), static_cast<gssize>(script.size())));
    JSCException* exception = jsc_context_get_exception(m_context.get());
    if (!exception)
        return std::nullopt;
    const std::unique_ptr<char, CharsFree> report(jsc_exception_report(exception));
    std::string description = report ? report.get() : "an exception without a report";
    while (!description.empty() && description.back() == '\n')
        description.pop_back();
    jsc_context_clear_exception(m_context.get());
    return description;
}

std::optional<std::string> PageCallEngine::callFault(JSCValue* calls, std::string_view name, std::string_view text)
{
    const int callCount = lengthOf(calls);
    if (callCount != 1)
        return "the message function was called " + std::to_string(callCount) + " times";
    const ValuePtr call(jsc_value_object_get_property_at_index(calls, 0));
    const int argumentCount = lengthOf(call.get());
    if (argumentCount != 2)
        return "the message function received " + std::to_string(argumentCount) + " arguments";
    const ValuePtr nameValue(jsc_value_object_get_property_at_index(call.get(), 0));
    const ValuePtr textValue(jsc_value_object_get_property_at_index(call.get(), 1));
    const auto receivedName = utf8Bytes(nameValue.get());
    const auto receivedText = utf8Bytes(textValue.get());
    if (!receivedName || !receivedText)
        return std::string("the message function received an argument that is not text");
    if (*receivedName != name)
        return mismatch("the name", name, *receivedName);
    if (*receivedText != text)
        return mismatch("the payload", text, *receivedText);
    return std::nullopt;
}

}
