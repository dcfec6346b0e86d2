#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <jsc/jsc.h>

#include "platform/glib/GLibOwners.h"

namespace tessaro::testing {

// A page in JavaScriptCore with the message function the exam page defines, to run the
// program's page calls in a real engine. One context serves many scripts: the page is
// set up afresh before each.
class PageCallEngine {
public:
    // Runs the script in the page. Nothing when it ran without an exception and called
    // the message function exactly once, with exactly the name and the text (compared
    // as UTF-8, NUL characters included); otherwise what the page saw instead.
    std::optional<std::string> deliveryFault(std::string_view script, std::string_view name, std::string_view text);

private:
    std::optional<std::string> evaluate(std::string_view script);

    GObjectPtr<JSCContext> m_context = GObjectPtr<JSCContext>(jsc_context_new());
};

}
