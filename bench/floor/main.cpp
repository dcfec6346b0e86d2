// The floor the benchmarks hold Tessaro to: one full-screen GTK window with one web
// view, the same page, and the page's messages answered in the plainest way the
// engine allows. Whatever Tessaro costs above this is its own.
//
// It draws as GTK and the engine do by default, which is the reference for memory.
// Tessaro draws with cairo and without the engine's hardware acceleration; with
// GSK_RENDERER=cairo WEBKIT_DISABLE_COMPOSITING_MODE=1 in its environment (the
// driver's --lean) the floor draws the same way, which start-up must compare: on a
// machine whose GL is software, GTK's GL renderer and the engine's compositing alone
// cost the default floor one to three seconds of its start-up.

#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtk/gtk.h>
#include <webkit/webkit.h>

namespace tessaro {

namespace {

// The page call the exam pages are answered with, guard included: a page that has not
// defined window.K$ ignores it. Each of the guard's look-ups on window costs the web
// process a few microseconds a call, a cost of the call and not of Tessaro.
void sendPageMessage(WebKitWebView* view, const char* name, const std::string& payload)
{
    const std::string script
        = std::string("window.K$ && window.K$.macOS && window.K$.macOS.message('") + name + "', '" + payload + "');";
    webkit_web_view_evaluate_javascript(view, script.c_str(), -1, nullptr, nullptr, nullptr, nullptr, nullptr);
}

std::string member(JSCValue* body, const char* name)
{
    JSCValue* value = jsc_value_object_get_property(body, name);
    char* text = jsc_value_to_string(value);
    std::string result = text ? text : "";
    g_free(text);
    g_object_unref(value);
    return result;
}

void saveFile(WebKitWebView* view, JSCValue* body)
{
    const std::string name = member(body, "filename");
    JSCValue* content = jsc_value_object_get_property(body, "content");
    char* text = jsc_value_to_string(content);
    char* path = g_build_filename(g_get_home_dir(), "Downloads", name.c_str(), nullptr);
    if (g_file_set_contents(path, text, -1, nullptr)) {
        char* address = g_filename_to_uri(path, nullptr, nullptr);
        sendPageMessage(view, "fileSaved", address);
        g_free(address);
    }
    g_free(path);
    g_free(text);
    g_object_unref(content);
}

// 64 hex digits, as Tessaro's answer has, that differ with the exam key as its answer
// does: the engine keeps compiled scripts, and a script it saw before runs cheaper. The
// page times the answer; it never checks it.
void securityReceived(WebKitUserContentManager*, JSCValue* body, WebKitWebView* view)
{
    char* answer = g_compute_checksum_for_string(G_CHECKSUM_SHA256, member(body, "examkey").c_str(), -1);
    sendPageMessage(view, "security", answer);
    g_free(answer);
}

void processesReceived(WebKitUserContentManager*, JSCValue*, WebKitWebView* view)
{
    sendPageMessage(view, "processes", "[]");
}

void saveFileReceived(WebKitUserContentManager*, JSCValue* body, WebKitWebView* view)
{
    saveFile(view, body);
}

void quitReceived(WebKitUserContentManager*, JSCValue*, GMainLoop* loop)
{
    g_main_loop_quit(loop);
}

struct PendingLoad {
    WebKitWebView* view;
    std::string address;
};

int loadLater(gpointer data)
{
    auto* load = static_cast<PendingLoad*>(data);
    webkit_web_view_load_uri(load->view, load->address.c_str());
    delete load;
    return G_SOURCE_REMOVE;
}

}

}

int main(int argc, char** argv)
{
    using namespace tessaro;
    // The optional delay starts the load as late as Tessaro's does (after its status
    // request), so that start-up compares the same work.
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "Usage: %s ADDRESS [LOAD-DELAY-MILLISECONDS]\n", argv[0]);
        return 2;
    }
    const unsigned delay = argc == 3 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 0;
    gtk_init();
    GMainLoop* loop = g_main_loop_new(nullptr, false);
    GtkWidget* window = gtk_window_new();
    auto* view = WEBKIT_WEB_VIEW(webkit_web_view_new());
    WebKitUserContentManager* manager = webkit_web_view_get_user_content_manager(view);
    const struct {
        const char* name;
        GCallback callback;
        gpointer data;
    } handlers[] = {
        { "security", G_CALLBACK(securityReceived), view },
        { "processes", G_CALLBACK(processesReceived), view },
        { "saveFile", G_CALLBACK(saveFileReceived), view },
        { "quit", G_CALLBACK(quitReceived), loop },
    };
    for (const auto& handler : handlers) {
        webkit_user_content_manager_register_script_message_handler(manager, handler.name, nullptr);
        g_signal_connect(manager, (std::string("script-message-received::") + handler.name).c_str(), handler.callback,
                         handler.data);
    }
    gtk_window_set_child(GTK_WINDOW(window), GTK_WIDGET(view));
    gtk_window_fullscreen(GTK_WINDOW(window));
    gtk_window_present(GTK_WINDOW(window));
    if (delay == 0) {
        webkit_web_view_load_uri(view, argv[1]);
    } else {
        g_timeout_add(delay, loadLater, new PendingLoad { view, argv[1] });
    }
    g_main_loop_run(loop);
    gtk_window_destroy(GTK_WINDOW(window));
    g_main_loop_unref(loop);
    return 0;
}
