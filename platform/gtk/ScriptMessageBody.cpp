#include "platform/gtk/ScriptMessageBody.h"

#include <jsc/jsc.h>

#include "common/MessageBody.h"
#include "platform/glib/GLibOwners.h"

namespace tessaro {

nlohmann::json scriptMessageBody(JSCValue* value)
{
    if (!value || jsc_value_is_undefined(value))
        return nullptr;
    const GCharPtr json(jsc_value_to_json(value, 0));
    if (!json) {
        // Stringifying threw (a cycle, say); leave no pending exception behind.
        jsc_context_clear_exception(jsc_value_get_context(value));
        return nullptr;
    }
    return messageBodyFromJSON(json.get());
}

}
