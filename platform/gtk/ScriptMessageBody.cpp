#include "platform/gtk/ScriptMessageBody.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include <jsc/jsc.h>

#include "common/MessageBody.h"
#include "platform/glib/GLibOwners.h"

namespace tessaro {

namespace {

using ValuePtr = GObjectPtr<JSCValue>;
using BytesPtr = GRefPtr<GBytes, g_bytes_unref>;

// More values than this would cost the program far more memory than the page.
constexpr std::size_t maximumValues = std::size_t { 1 } << 24;
// Text longer than this many UTF-16 code units is read in slices of this length into
// one buffer, so a saved file's content exists in the program once, not three times.
constexpr int sliceLength = 1 << 20;

// The page's value has no value tree.
struct NoValueTree { };

std::size_t utf16Length(std::string_view utf8)
{
    std::size_t units = 0;
    for (const unsigned char byte : utf8) {
        if ((byte & 0xc0) != 0x80)
            ++units;
        if (byte >= 0xf0)
            ++units;
    }
    return units;
}

// The engine asks a value that is no object whether it is a function by converting it
// to one, which raises for undefined and null and costs a stack trace each time.
bool isFunction(JSCValue* value)
{
    return jsc_value_is_object(value) && jsc_value_is_function(value);
}

bool isHighSurrogate(int unit)
{
    return (unit & 0xfc00) == 0xd800;
}

// Whether the script raised on the way; the exception is taken back.
bool raised(JSCContext* context)
{
    if (!jsc_context_get_exception(context))
        return false;
    jsc_context_clear_exception(context);
    return true;
}

// Hands on a string value's UTF-8 form, which must hold all of its code units: the
// engine stops at a lone surrogate, which JSON text cannot carry either.
bool readWhole(JSCValue* value, std::size_t units, const TextPiece& piece)
{
    const BytesPtr bytes(jsc_value_to_string_as_bytes(value));
    gsize size = 0;
    const auto* data = bytes ? static_cast<const char*>(g_bytes_get_data(bytes.get(), &size)) : nullptr;
    const std::string_view utf8(data ? data : "", data ? size : 0);
    return utf16Length(utf8) == units && piece(utf8);
}

// Hands on a string value of `length` code units in slices that never split a
// surrogate pair.
bool readText(JSCValue* value, std::size_t length, const TextPiece& piece)
{
    if (length <= sliceLength)
        return readWhole(value, length, piece);
    JSCContext* context = jsc_value_get_context(value);
    for (std::size_t from = 0; from < length;) {
        std::size_t to = std::min(from + sliceLength, length);
        if (to < length) {
            const auto unit = ValuePtr(
                jsc_value_object_invoke_method(value, "charCodeAt", G_TYPE_INT, static_cast<int>(to - 1), G_TYPE_NONE));
            if (raised(context) || !unit)
                return false;
            if (isHighSurrogate(jsc_value_to_int32(unit.get())))
                --to;
        }
        const auto slice = ValuePtr(jsc_value_object_invoke_method(value, "slice", G_TYPE_INT, static_cast<int>(from),
                                                                   G_TYPE_INT, static_cast<int>(to), G_TYPE_NONE));
        if (raised(context) || !slice || !jsc_value_is_string(slice.get()) || !readWhole(slice.get(), to - from, piece))
            return false;
        from = to;
    }
    return true;
}

class BodyWalk {
public:
    // A long text that is the whole body, or a member of a top-level object, goes to the
    // body unread.
    BodyWalk(JSCContext* context, MessageBody& body)
        : m_context(context)
        , m_body(body)
    {
    }

    // The value as JSON.stringify writes it under the key; nothing where it writes
    // nothing.
    std::optional<nlohmann::json> walk(JSCValue* value, const std::string& key, int depth)
    {
        if (++m_values > maximumValues)
            throw NoValueTree {};
        ValuePtr replacement;
        if (jsc_value_is_object(value)) {
            const auto toJSON = checked(jsc_value_object_get_property(value, "toJSON"));
            if (isFunction(toJSON.get())) {
                replacement
                    = checked(jsc_value_object_invoke_method(value, "toJSON", G_TYPE_STRING, key.c_str(), G_TYPE_NONE));
                value = replacement.get();
            }
        }
        if (jsc_value_is_null(value))
            return nullptr;
        if (jsc_value_is_boolean(value))
            return static_cast<bool>(jsc_value_to_boolean(value));
        if (jsc_value_is_number(value))
            return number(jsc_value_to_double(value));
        if (jsc_value_is_string(value)) {
            const std::size_t length = lengthOf(value);
            if (depth == 0) {
                if (auto longText = unreadText(value, length)) {
                    m_body.longText = std::move(longText);
                    return "";
                }
            }
            return text(value, length);
        }
        if (jsc_value_is_undefined(value) || isFunction(value))
            return std::nullopt;
        if (jsc_value_is_array(value))
            return array(value, depth + 1);
        if (jsc_value_is_object(value))
            return object(value, depth + 1);
        if (typeOf(value) == "symbol")
            return std::nullopt;
        throw NoValueTree {};
    }

private:
    // Takes over a value the engine returned, unless the script raised on the way.
    ValuePtr checked(JSCValue* value)
    {
        auto owned = ValuePtr(value);
        if (raised(m_context) || !owned)
            throw NoValueTree {};
        return owned;
    }

    // JSON text writes an integral number in digits, read back as an integer where one fits.
    static nlohmann::json number(double value)
    {
        if (!std::isfinite(value))
            return nullptr;
        if (value == std::trunc(value)) {
            if (value >= 0 && value < 18446744073709551616.0)
                return static_cast<std::uint64_t>(value);
            if (value < 0 && value >= -9223372036854775808.0)
                return static_cast<std::int64_t>(value);
        }
        return value;
    }

    std::size_t lengthOf(JSCValue* value)
    {
        const auto length = checked(jsc_value_object_get_property(value, "length"));
        const double units = jsc_value_to_double(length.get());
        if (!(units >= 0 && units <= static_cast<double>(maximumValues) * sliceLength))
            throw NoValueTree {};
        return static_cast<std::size_t>(units);
    }

    // The text of a string value too long to read before it is needed, left in the
    // engine; nothing for a shorter one.
    PageText unreadText(JSCValue* value, std::size_t length)
    {
        if (length <= sliceLength)
            return {};
        auto text = std::make_shared<ValuePtr>(retainObject(value));
        return [text, length](const TextPiece& piece) { return readText(text->get(), length, piece); };
    }

    std::string text(JSCValue* value) { return text(value, lengthOf(value)); }

    std::string text(JSCValue* value, std::size_t length)
    {
        std::string text;
        // Three bytes per code unit at most; pages never written are never taken.
        if (length > sliceLength)
            text.reserve(3 * length);
        if (!readText(value, length, [&text](std::string_view piece) {
                text.append(piece);
                return true;
            }))
            throw NoValueTree {};
        return text;
    }

    nlohmann::json array(JSCValue* value, int depth)
    {
        if (depth > maximumMessageDepth)
            throw NoValueTree {};
        const std::size_t length = lengthOf(value);
        if (length > maximumValues - m_values)
            throw NoValueTree {};
        auto array = nlohmann::json::array();
        for (std::size_t index = 0; index < length; ++index) {
            const auto element = checked(jsc_value_object_get_property_at_index(value, static_cast<guint>(index)));
            auto walked = walk(element.get(), std::to_string(index), depth);
            array.push_back(walked ? std::move(*walked) : nullptr);
        }
        return array;
    }

    nlohmann::json object(JSCValue* value, int depth)
    {
        if (depth > maximumMessageDepth)
            throw NoValueTree {};
        if (!m_objectConstructor)
            m_objectConstructor = checked(jsc_context_get_value(m_context, "Object"));
        const auto keys = checked(
            jsc_value_object_invoke_method(m_objectConstructor.get(), "keys", JSC_TYPE_VALUE, value, G_TYPE_NONE));
        if (!jsc_value_is_array(keys.get()))
            throw NoValueTree {};
        auto object = nlohmann::json::object();
        const std::size_t count = lengthOf(keys.get());
        for (std::size_t index = 0; index < count; ++index) {
            const auto keyValue
                = checked(jsc_value_object_get_property_at_index(keys.get(), static_cast<guint>(index)));
            if (!jsc_value_is_string(keyValue.get()))
                throw NoValueTree {};
            const std::string key = text(keyValue.get());
            const auto member = checked(jsc_value_object_get_property(value, key.c_str()));
            if (depth == 1 && jsc_value_is_string(member.get())) {
                if (auto longText = unreadText(member.get(), lengthOf(member.get()))) {
                    m_body.longTexts[key] = std::move(longText);
                    object[key] = "";
                    continue;
                }
            }
            if (auto walked = walk(member.get(), key, depth))
                object[key] = std::move(*walked);
        }
        return object;
    }

    std::string typeOf(JSCValue* value)
    {
        const auto typeOf = checked(jsc_context_evaluate(m_context, "(function (value) { return typeof value; })", -1));
        const auto type = checked(jsc_value_function_call(typeOf.get(), JSC_TYPE_VALUE, value, G_TYPE_NONE));
        const GCharPtr name(jsc_value_to_string(type.get()));
        return name ? name.get() : "";
    }

    JSCContext* m_context;
    MessageBody& m_body;
    ValuePtr m_objectConstructor;
    std::size_t m_values = 0;
};

// Most messages are a few short members. For those one call into the engine writes
// their JSON text, which costs a fraction of walking them value by value; the text of
// a long one would be a second copy of its strings, so those are walked.
constexpr const char* smallBodyWriterMaker = R"((function (units, maximumDepth) {
    "use strict";
    let budget = 0;
    function small(value, depth) {
        if (typeof value === "string")
            return (budget -= value.length + 1) >= 0;
        if (typeof value !== "object" || value === null)
            return --budget >= 0;
        if (depth >= maximumDepth || typeof value.toJSON === "function")
            return false;
        if (Array.isArray(value)) {
            if ((budget -= value.length + 1) < 0)
                return false;
            for (let index = 0; index < value.length; ++index) {
                if (!small(value[index], depth + 1))
                    return false;
            }
            return true;
        }
        for (const key of Object.keys(value)) {
            if ((budget -= key.length + 1) < 0 || !small(value[key], depth + 1))
                return false;
        }
        return true;
    }
    return function (body) {
        budget = units;
        return small(body, 0) ? JSON.stringify(body) : undefined;
    };
}))";

// Code units of text, and values, a body may hold to be written whole.
constexpr int smallBodyUnits = 4096;

ValuePtr makeSmallBodyWriter(JSCContext* context)
{
    const auto maker = ValuePtr(jsc_context_evaluate(context, smallBodyWriterMaker, -1));
    if (raised(context) || !maker || !isFunction(maker.get()))
        return {};
    auto writer = ValuePtr(
        jsc_value_function_call(maker.get(), G_TYPE_INT, smallBodyUnits, G_TYPE_INT, maximumMessageDepth, G_TYPE_NONE));
    if (raised(context) || !writer || !isFunction(writer.get()))
        return {};
    return writer;
}

// The function that writes a small body's JSON text, made once for the engine context
// messages arrive in. Holding it keeps that context alive; a context the engine makes
// later replaces it. It lives as long as the program, past the engine's own teardown.
JSCValue* smallBodyWriter(JSCContext* context)
{
    struct Writer {
        GObjectPtr<JSCContext> madeIn;
        ValuePtr function;
    };
    static auto* const writer = new Writer;
    if (writer->madeIn.get() != context) {
        writer->function = makeSmallBodyWriter(context);
        writer->madeIn = retainObject(context);
    }
    return writer->function.get();
}

// The body's value tree from its JSON text, when it is small enough to be written whole.
std::optional<nlohmann::json> smallBody(JSCValue* value)
{
    JSCContext* context = jsc_value_get_context(value);
    JSCValue* writer = smallBodyWriter(context);
    if (!writer)
        return std::nullopt;
    const auto text = ValuePtr(jsc_value_function_call(writer, JSC_TYPE_VALUE, value, G_TYPE_NONE));
    if (raised(context) || !text || !jsc_value_is_string(text.get()))
        return std::nullopt;
    const GCharPtr json(jsc_value_to_string(text.get()));
    if (!json)
        return std::nullopt;
    return messageBodyFromJSON(json.get());
}

nlohmann::json walkBody(JSCValue* value, MessageBody& body)
{
    if (!value)
        return nullptr;
    try {
        auto walked = BodyWalk(jsc_value_get_context(value), body).walk(value, "", 0);
        return walked ? std::move(*walked) : nullptr;
    } catch (const NoValueTree&) {
        return nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}

MessageBody scriptMessageBody(JSCValue* value)
{
    if (!value)
        return {};
    if (auto body = smallBody(value))
        return std::move(*body);
    MessageBody body;
    body.tree = walkBody(value, body);
    if (body.tree.is_null()) {
        body.longTexts.clear();
        body.longText = nullptr;
    }
    return body;
}

}
