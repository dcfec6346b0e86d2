#include "platform/gtk/extension/FrameBridgeGuard.h"

#include <string>

#include <unistd.h>
#include <webkit/webkit-web-process-extension.h>

namespace tessaro {

namespace {

// Run in the frame's new window before any script of its document. The top's origin can
// be read only from a document of the same origin; an opaque origin ("null": data:
// addresses, sandboxed frames) is the same as none. The engine's window.webkit can be
// neither deleted nor redefined, but its messageHandlers is a getter on the prototype of
// this window's own namespace object: without it, no handler of this window can be named
// again, and other windows' getters are out of reach of a foreign document. Answers the
// refused document's origin, or null when the document is the exam's.
constexpr const char* withholdFromForeignDocument = R"((function () {
    "use strict";
    let exam = null;
    try {
        exam = window.top.origin;
    } catch (crossOrigin) {
    }
    if (window.origin !== "null" && window.origin === exam)
        return null;
    for (let object = window.webkit; object; object = Object.getPrototypeOf(object))
        delete object.messageHandlers;
    return window.origin;
})())";

// From the web process, which shares the program's standard output; one write, so the
// line never mixes with one of the program's.
void writeLine(const std::string& text)
{
    const std::string line = text + "\n";
    [[maybe_unused]] const auto written = write(STDOUT_FILENO, line.data(), line.size());
}

void windowObjectCleared(WebKitScriptWorld* world, WebKitWebPage*, WebKitFrame* frame, gpointer)
{
    if (webkit_frame_is_main_frame(frame))
        return;
    JSCContext* context = webkit_frame_get_js_context_for_script_world(frame, world);
    JSCValue* refused = jsc_context_evaluate(context, withholdFromForeignDocument, -1);
    if (JSCException* exception = jsc_context_get_exception(context)) {
        gchar* reason = jsc_exception_to_string(exception);
        writeLine(std::string("The bridge could not be withheld from a frame: ") + reason);
        g_free(reason);
        jsc_context_clear_exception(context);
    } else if (jsc_value_is_string(refused)) {
        gchar* origin = jsc_value_to_string(refused);
        const std::string named = g_strcmp0(origin, "null") == 0 ? "an opaque origin" : origin;
        writeLine("A frame of " + named + " has no bridge: it is not of the exam's origin");
        g_free(origin);
    }
    g_clear_object(&refused);
    g_object_unref(context);
}

}

void withholdBridgeFromForeignFrames()
{
    g_signal_connect(webkit_script_world_get_default(), "window-object-cleared", G_CALLBACK(windowObjectCleared),
                     nullptr);
}

}
