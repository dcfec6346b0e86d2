#include "platform/gtk/GtkExamWebView.h"

#include <string>

#include <webkit/webkit.h>

#include "common/DiagnosticLine.h"
#include "platform/gtk/MediaPermissionPrompt.h"
#include "platform/gtk/ScriptMessageBody.h"

namespace tessaro {

namespace {

// A request that WebKit waits on must be answered once: choose or cancel. Dropping the
// last reference without an answer cancels it.
class GtkOpenPanelRequest final : public OpenPanelRequest {
public:
    explicit GtkOpenPanelRequest(WebKitFileChooserRequest* request)
        : m_request(GObjectPtr<WebKitFileChooserRequest>::retain(request))
    {
    }
    ~GtkOpenPanelRequest() override { answer(std::nullopt); }

    void answer(std::optional<std::string> chosenFile) override
    {
        if (m_answered)
            return;
        m_answered = true;
        if (chosenFile) {
            const char* files[] = { chosenFile->c_str(), nullptr };
            webkit_file_chooser_request_select_files(m_request.get(), files);
        } else
            webkit_file_chooser_request_cancel(m_request.get());
    }

private:
    GObjectPtr<WebKitFileChooserRequest> m_request;
    bool m_answered = false;
};

// The secondary press is claimed in the capture phase, before WebKit's own handlers,
// so the page never sees it. Its release and every other button pass through.
void claimSecondaryPress(GtkGestureClick* gesture, int, double, double, gpointer)
{
    gtk_gesture_set_state(GTK_GESTURE(gesture), GTK_EVENT_SEQUENCE_CLAIMED);
}

}

GtkExamWebView::GtkExamWebView(std::string extensionsDirectory, StandardOutput& output)
    : m_webView(GObjectPtr<WebKitWebView>::adopt(WEBKIT_WEB_VIEW(g_object_ref_sink(webkit_web_view_new()))))
    , m_extensionsDirectory(std::move(extensionsDirectory))
    , m_output(output)
{
    WebKitSettings* settings = webkit_web_view_get_settings(m_webView.get());
    // Exam services proctor through the camera and microphone; the student is asked first.
    webkit_settings_set_enable_media_stream(settings, true);
    // For automated tests on machines without a camera: WebKit's own stand-in devices.
    if (g_strcmp0(g_getenv("TESSARO_MOCK_CAPTURE_DEVICES"), "1") == 0)
        webkit_settings_set_enable_mock_capture_devices(settings, true);
    connectSignals();
}

GtkExamWebView::~GtkExamWebView()
{
    g_signal_handlers_disconnect_by_data(m_webView.get(), this);
    g_signal_handlers_disconnect_by_data(webkit_web_view_get_network_session(m_webView.get()), this);
    WebKitUserContentManager* manager = webkit_web_view_get_user_content_manager(m_webView.get());
    for (auto& binding : m_messageBindings)
        g_signal_handlers_disconnect_by_data(manager, &binding);
}

GtkWidget* GtkExamWebView::widget() const
{
    return GTK_WIDGET(m_webView.get());
}

void GtkExamWebView::connectSignals()
{
    WebKitWebView* view = m_webView.get();
    g_signal_connect(view, "load-changed", G_CALLBACK(loadChanged), this);
    g_signal_connect(view, "load-failed", G_CALLBACK(loadFailed), this);
    g_signal_connect(view, "run-file-chooser", G_CALLBACK(runFileChooser), this);
    g_signal_connect(view, "context-menu",
                     G_CALLBACK(+[](WebKitWebView*, WebKitContextMenu*, WebKitHitTestResult*, gpointer) -> gboolean {
                         return true;
                     }),
                     this);
    g_signal_connect(view, "permission-request", G_CALLBACK(permissionRequested), this);
    g_signal_connect(view, "decide-policy", G_CALLBACK(decidePolicy), this);
    // Printing does nothing: there is no printer dialog over a locked exam.
    g_signal_connect(view, "print",
                     G_CALLBACK(+[](WebKitWebView*, WebKitPrintOperation*, gpointer) -> gboolean { return true; }),
                     this);
    g_signal_connect(webkit_web_view_get_network_session(view), "download-started", G_CALLBACK(downloadStarted), this);

    GtkGesture* secondaryPress = gtk_gesture_click_new();
    gtk_gesture_single_set_button(GTK_GESTURE_SINGLE(secondaryPress), GDK_BUTTON_SECONDARY);
    gtk_event_controller_set_propagation_phase(GTK_EVENT_CONTROLLER(secondaryPress), GTK_PHASE_CAPTURE);
    g_signal_connect(secondaryPress, "pressed", G_CALLBACK(claimSecondaryPress), nullptr);
    gtk_widget_add_controller(GTK_WIDGET(view), GTK_EVENT_CONTROLLER(secondaryPress));
}

void GtkExamWebView::setCustomUserAgent(const std::string& userAgent)
{
    // The engine's settings take only a user agent made of HTTP tokens: the same text
    // without its backslashes. The extension puts the exact text on every request, and
    // the page's script sees it too.
    std::string tokensOnly = userAgent;
    std::erase(tokensOnly, '\\');
    webkit_settings_set_user_agent(webkit_web_view_get_settings(m_webView.get()), tokensOnly.c_str());

    if (!m_extensionsDirectory.empty()) {
        WebKitWebContext* context = webkit_web_view_get_context(m_webView.get());
        webkit_web_context_set_web_process_extensions_directory(context, m_extensionsDirectory.c_str());
        webkit_web_context_set_web_process_extensions_initialization_user_data(context,
                                                                               g_variant_new_string(userAgent.c_str()));
    }

    const std::string script = "Object.defineProperty(Navigator.prototype, 'userAgent', { get() { return "
        + nlohmann::json(userAgent).dump() + "; }, configurable: true });";
    WebKitUserScript* userScript
        = webkit_user_script_new(script.c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                 WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(webkit_web_view_get_user_content_manager(m_webView.get()), userScript);
    webkit_user_script_unref(userScript);
}

void GtkExamWebView::setNavigationDelegate(NavigationDelegate& delegate)
{
    m_navigationDelegate = &delegate;
}

void GtkExamWebView::setUIDelegate(UIDelegate& delegate)
{
    m_uiDelegate = &delegate;
}

void GtkExamWebView::addScriptMessageHandler(ScriptMessageHandler& handler, const std::string& name)
{
    WebKitUserContentManager* manager = webkit_web_view_get_user_content_manager(m_webView.get());
    if (!webkit_user_content_manager_register_script_message_handler(manager, name.c_str(), nullptr))
        return;
    // The signal does not carry the name, so each name gets a connection of its own.
    MessageBinding& binding = m_messageBindings.emplace_back(MessageBinding { &handler, name });
    const std::string signal = "script-message-received::" + name;
    g_signal_connect(manager, signal.c_str(), G_CALLBACK(scriptMessageReceived), &binding);
}

void GtkExamWebView::load(const std::string& address)
{
    // The program's compiled resources live in this process only; WebKit's own
    // processes cannot read them, so their content is handed over here.
    constexpr std::string_view resourceScheme = "resource://";
    if (address.starts_with(resourceScheme)) {
        const std::string path = address.substr(resourceScheme.size());
        if (GBytes* content = g_resources_lookup_data(path.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr)) {
            gsize size = 0;
            const auto* data = static_cast<const char*>(g_bytes_get_data(content, &size));
            const std::string html(data, size);
            webkit_web_view_load_html(m_webView.get(), html.c_str(), address.c_str());
            g_bytes_unref(content);
            return;
        }
    }
    webkit_web_view_load_uri(m_webView.get(), address.c_str());
}

void GtkExamWebView::evaluateJavaScript(const std::string& script)
{
    webkit_web_view_evaluate_javascript(m_webView.get(), script.data(), static_cast<gssize>(script.size()), nullptr,
                                        nullptr, nullptr, nullptr, nullptr);
}

void GtkExamWebView::setPressureConfiguration(PressureBehavior)
{
    // Linux input has no force-sensitive clicks: every press already is a plain click.
}

void GtkExamWebView::loadChanged(WebKitWebView*, int event, GtkExamWebView* self)
{
    if (event == WEBKIT_LOAD_STARTED)
        self->m_currentLoadFailed = false;
    // A failed load is not a finished navigation: WebKit reports FINISHED after
    // load-failed too.
    if (event == WEBKIT_LOAD_FINISHED && !self->m_currentLoadFailed && self->m_navigationDelegate)
        self->m_navigationDelegate->didFinishNavigation();
}

int GtkExamWebView::loadFailed(WebKitWebView*, int, const char*, void*, GtkExamWebView* self)
{
    self->m_currentLoadFailed = true;
    // Handled: WebKit shows no error page of its own, whose finished load would count
    // as a loaded exam and keep ours away.
    return true;
}

int GtkExamWebView::runFileChooser(WebKitWebView*, void* request, GtkExamWebView* self)
{
    if (!self->m_uiDelegate)
        return false;
    self->m_uiDelegate->runOpenPanel(
        std::make_shared<GtkOpenPanelRequest>(static_cast<WebKitFileChooserRequest*>(request)));
    return true;
}

int GtkExamWebView::permissionRequested(WebKitWebView* view, void* request, GtkExamWebView*)
{
    // Only a request for a camera or microphone may be granted, and only by the student;
    // everything else (location, notifications, pointer lock, the clipboard, the list of
    // devices) is denied without asking.
    if (WEBKIT_IS_USER_MEDIA_PERMISSION_REQUEST(request)) {
        auto* mediaRequest = WEBKIT_USER_MEDIA_PERMISSION_REQUEST(request);
        if (webkit_user_media_permission_is_for_audio_device(mediaRequest)
            || webkit_user_media_permission_is_for_video_device(mediaRequest)) {
            MediaPermissionPrompt::ask(GTK_WINDOW(gtk_widget_get_root(GTK_WIDGET(view))), webkit_web_view_get_uri(view),
                                       mediaRequest);
            return true;
        }
    }
    webkit_permission_request_deny(WEBKIT_PERMISSION_REQUEST(request));
    return true;
}

int GtkExamWebView::decidePolicy(WebKitWebView*, void* decision, int type, GtkExamWebView* self)
{
    if (type != WEBKIT_POLICY_DECISION_TYPE_RESPONSE)
        return false;
    // What the web view cannot show would be saved into Downloads behind the student's
    // back. Saving files is the bridge's job; the navigation is ignored instead.
    auto* responseDecision = WEBKIT_RESPONSE_POLICY_DECISION(decision);
    WebKitURIResponse* response = webkit_response_policy_decision_get_response(responseDecision);
    SoupMessageHeaders* headers = webkit_uri_response_get_http_headers(response);
    const char* disposition = headers ? soup_message_headers_get_one(headers, "Content-Disposition") : nullptr;
    const bool attachment = disposition && g_ascii_strncasecmp(disposition, "attachment", 10) == 0;
    if (!attachment && webkit_response_policy_decision_is_mime_type_supported(responseDecision))
        return false;
    self->refuseDownload(webkit_uri_response_get_uri(response));
    webkit_policy_decision_ignore(WEBKIT_POLICY_DECISION(decision));
    return true;
}

void GtkExamWebView::downloadStarted(void*, void* download, GtkExamWebView* self)
{
    // Downloads the page starts itself (a link with a download attribute, a blob).
    auto* started = WEBKIT_DOWNLOAD(download);
    WebKitURIRequest* request = webkit_download_get_request(started);
    self->refuseDownload(request ? webkit_uri_request_get_uri(request) : "");
    webkit_download_cancel(started);
}

void GtkExamWebView::refuseDownload(const char* address)
{
    m_output.writeLine(
        diagnosticLine(std::string("Not saving what the web view cannot show: ") + (address ? address : "")));
}

void GtkExamWebView::scriptMessageReceived(void*, void* value, MessageBinding* binding)
{
    binding->handler->didReceiveScriptMessage(binding->name, scriptMessageBody(static_cast<JSCValue*>(value)));
}

}
