// Page calls run in JavaScriptCore: whatever the payload holds, the page's message
// function receives exactly the name and the payload text. The first byte picks the
// payload's kind and the name; the rest is the text, the Boolean or the float's bytes.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <variant>

#include <glib.h>

#include "tests/fuzz/Invariant.h"
#include "tests/host/engine/PageCallEngine.h"
#include "web/PageCall.h"

namespace tessaro::fuzzing {
namespace {

const std::array<std::string, 5> pageMessageNames { "security", "processes", "fileSaved", "downloaded", "battery" };

// Only valid UTF-8 is text to a page; NUL is a character like any other.
bool isUtf8Text(std::string_view bytes)
{
    std::string withoutNul(bytes);
    std::replace(withoutNul.begin(), withoutNul.end(), '\0', ' ');
    return g_utf8_validate(withoutNul.data(), static_cast<gssize>(withoutNul.size()), nullptr);
}

PagePayload payloadFrom(int kind, std::string_view rest)
{
    if (kind == 0)
        return std::string(rest);
    if (kind == 1)
        return !rest.empty() && (rest.front() & 1) != 0;
    float value = 0;
    std::memcpy(&value, rest.data(), std::min(rest.size(), sizeof value));
    return value;
}

void deliver(const std::string& name, const PagePayload& payload)
{
    static testing::PageCallEngine engine;
    const std::string text = payloadText(payload);
    if (const auto* number = std::get_if<float>(&payload); number && std::isfinite(*number))
        require(std::strtof(text.c_str(), nullptr) == *number, "a float's text reads back as the same float");
    if (!isUtf8Text(text))
        return;
    const auto fault = engine.deliveryFault(composePageCall(name, payload), name, text);
    require(!fault, "the page receives exactly the name and the payload text: " + fault.value_or(""));
}

}
}

// JavaScriptCore keeps some of its malloc'd objects reachable only from its own heap,
// which the leak checker does not scan; they would all look leaked.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libjavascriptcoregtk-6.0.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tessaro::fuzzing;
    if (size == 0)
        return 0;
    const int kind = data[0] % 3;
    const auto& name = pageMessageNames[(data[0] / 3) % pageMessageNames.size()];
    deliver(name, payloadFrom(kind, std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1)));
    return 0;
}
