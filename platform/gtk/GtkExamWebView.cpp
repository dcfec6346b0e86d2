#include "platform/gtk/GtkExamWebView.h"

#include <string>

#include <webkit/webkit.h>

#include "platform/glib/GLibOwners.h"
#include "platform/gtk/MediaPermissionPrompt.h"
#include "platform/gtk/ScriptMessageBody.h"
#include "platform/gtk/WebViewUserAgent.h"

namespace tessaro {

namespace {

// A request that WebKit waits on must be answered once: choose or cancel. Dropping the
// last reference without an answer cancels it.
class GtkOpenPanelRequest final : public OpenPanelRequest {
public:
    explicit GtkOpenPanelRequest(WebKitFileChooserRequest* request)
        : m_request(retainObject(request))
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

// The secondary press is stopped in the capture phase, before WebKit's own handlers,
// so the page never sees it. Its release and every other event pass through unchanged.
gboolean stopSecondaryPress(GtkEventControllerLegacy*, GdkEvent* event, gpointer)
{
    return gdk_event_get_event_type(event) == GDK_BUTTON_PRESS
        && gdk_button_event_get_button(event) == GDK_BUTTON_SECONDARY;
}

PermissionKind permissionKindOf(WebKitUserMediaPermissionRequest* mediaRequest)
{
    const bool cameraOrMicrophone = mediaRequest
        && (webkit_user_media_permission_is_for_audio_device(mediaRequest)
            || webkit_user_media_permission_is_for_video_device(mediaRequest));
    return cameraOrMicrophone ? PermissionKind::cameraOrMicrophone : PermissionKind::other;
}

PageResponse pageResponseOf(WebKitResponsePolicyDecision* decision)
{
    WebKitURIResponse* response = webkit_response_policy_decision_get_response(decision);
    SoupMessageHeaders* headers = webkit_uri_response_get_http_headers(response);
    const char* disposition = headers ? soup_message_headers_get_one(headers, "Content-Disposition") : nullptr;
    const char* address = webkit_uri_response_get_uri(response);
    return { address ? address : "", disposition ? disposition : "",
             static_cast<bool>(webkit_response_policy_decision_is_mime_type_supported(decision)) };
}

// A load that another load replaced, or whose response the policy refused (it says so
// itself), did not fail: only what keeps the page from the student is reported.
bool isFailure(const GError* error)
{
    return !g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED)
        && !g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE);
}

WebProcessEnd webProcessEndOf(WebKitWebProcessTerminationReason reason)
{
    switch (reason) {
    case WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT:
        return WebProcessEnd::exceededMemoryLimit;
    case WEBKIT_WEB_PROCESS_TERMINATED_BY_API:
        return WebProcessEnd::endedByProgram;
    case WEBKIT_WEB_PROCESS_CRASHED:
        break;
    }
    return WebProcessEnd::crashed;
}

bool isBackToEmptyPage(WebKitNavigationPolicyDecision* decision)
{
    WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(decision);
    WebKitURIRequest* request = webkit_navigation_action_get_request(action);
    return webkit_navigation_action_get_navigation_type(action) == WEBKIT_NAVIGATION_TYPE_BACK_FORWARD
        && g_strcmp0(webkit_uri_request_get_uri(request), "about:blank") == 0;
}

}

GtkExamWebView::GtkExamWebView(std::string extensionsDirectory)
    : m_webView(GObjectPtr<WebKitWebView>(WEBKIT_WEB_VIEW(g_object_ref_sink(webkit_web_view_new()))))
    , m_extensionsDirectory(std::move(extensionsDirectory))
{
    WebKitSettings* settings = webkit_web_view_get_settings(m_webView.get());
    // An exam page is text and form fields: the engine paints it without the GPU and
    // its compositing buffers, which keeps the web process about 80 MiB smaller.
    webkit_settings_set_hardware_acceleration_policy(settings, WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    // An exam goes forward through its question pages and seldom back: the engine keeps a
    // moderate cache of what it loaded. A web browser's keeps what every page left behind
    // (its figures decoded, for one) up to a far larger bound, and the web process grew by
    // about 40 MiB over an exam's first fifty pages before it stopped.
    webkit_web_context_set_cache_model(webkit_web_view_get_context(m_webView.get()),
                                       WEBKIT_CACHE_MODEL_DOCUMENT_BROWSER);
    // The policy decides who may use the camera and microphone; the engine must offer them.
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

// Without a policy (none is set before the exam view exists) the engine's own answers
// stand: a handler that does not take the signal over returns FALSE.
void GtkExamWebView::connectSignals()
{
    WebKitWebView* view = m_webView.get();
    const auto loadChanged = +[](WebKitWebView* view, WebKitLoadEvent event, GtkExamWebView* self) {
        if (event == WEBKIT_LOAD_STARTED) {
            self->m_currentLoadFailed = false;
            self->m_awaitingOurLoad = self->m_startingEngine;
        }
        if (self->m_awaitingOurLoad || !self->m_navigationDelegate)
            return;
        if (event == WEBKIT_LOAD_COMMITTED) {
            const char* address = webkit_web_view_get_uri(view);
            self->m_navigationDelegate->didCommitNavigation(address ? address : "");
        }
        // A failed load is not a finished navigation: WebKit reports FINISHED after
        // load-failed too.
        if (event == WEBKIT_LOAD_FINISHED && !self->m_currentLoadFailed)
            self->m_navigationDelegate->didFinishNavigation();
    };
    g_signal_connect(view, "load-changed", G_CALLBACK(loadChanged), this);
    const auto loadFailed
        = +[](WebKitWebView*, WebKitLoadEvent, const char* address, GError* error, GtkExamWebView* self) -> gboolean {
        self->m_currentLoadFailed = true;
        if (!self->m_awaitingOurLoad && self->m_navigationDelegate && isFailure(error))
            self->m_navigationDelegate->didFailNavigation(address ? address : "", error->message);
        // Handled: WebKit shows no error page of its own, whose finished load would
        // count as a loaded exam and keep ours away.
        return true;
    };
    g_signal_connect(view, "load-failed", G_CALLBACK(loadFailed), this);
    const auto webProcessTerminated
        = +[](WebKitWebView*, WebKitWebProcessTerminationReason reason, GtkExamWebView* self) {
              if (self->m_navigationDelegate)
                  self->m_navigationDelegate->webProcessDidEnd(webProcessEndOf(reason));
          };
    g_signal_connect(view, "web-process-terminated", G_CALLBACK(webProcessTerminated), this);
    const auto runFileChooser
        = +[](WebKitWebView*, WebKitFileChooserRequest* request, GtkExamWebView* self) -> gboolean {
        if (!self->m_uiDelegate)
            return false;
        self->m_uiDelegate->runOpenPanel(std::make_shared<GtkOpenPanelRequest>(request));
        return true;
    };
    g_signal_connect(view, "run-file-chooser", G_CALLBACK(runFileChooser), this);
    const auto contextMenu
        = +[](WebKitWebView*, WebKitContextMenu*, WebKitHitTestResult*, GtkExamWebView* self) -> gboolean {
        return self->m_policy && !self->m_policy->shouldShowContextMenu();
    };
    g_signal_connect(view, "context-menu", G_CALLBACK(contextMenu), this);
    const auto permissionRequested
        = +[](WebKitWebView* view, WebKitPermissionRequest* request, GtkExamWebView* self) -> gboolean {
        if (!self->m_policy)
            return false;
        auto* mediaRequest = WEBKIT_IS_USER_MEDIA_PERMISSION_REQUEST(request)
            ? WEBKIT_USER_MEDIA_PERMISSION_REQUEST(request)
            : nullptr;
        if (self->m_policy->permissionRequested(permissionKindOf(mediaRequest)) == PermissionAnswer::askStudent
            && mediaRequest) {
            askForMediaPermission(GTK_WINDOW(gtk_widget_get_root(GTK_WIDGET(view))), webkit_web_view_get_uri(view),
                                  mediaRequest);
        } else {
            webkit_permission_request_deny(request);
        }
        return true;
    };
    g_signal_connect(view, "permission-request", G_CALLBACK(permissionRequested), this);
    const auto decidePolicy = +[](WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                  GtkExamWebView* self) -> gboolean {
        // The empty page that started the engine stays in the history; going back to it
        // would leave the student before a blank window.
        if (type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION && !self->m_startingEngine
            && isBackToEmptyPage(WEBKIT_NAVIGATION_POLICY_DECISION(decision))) {
            webkit_policy_decision_ignore(decision);
            return true;
        }
        if (type != WEBKIT_POLICY_DECISION_TYPE_RESPONSE || !self->m_policy
            || self->m_policy->shouldShowResponse(pageResponseOf(WEBKIT_RESPONSE_POLICY_DECISION(decision))))
            return false;
        webkit_policy_decision_ignore(decision);
        return true;
    };
    g_signal_connect(view, "decide-policy", G_CALLBACK(decidePolicy), this);
    const auto print = +[](WebKitWebView*, WebKitPrintOperation*, GtkExamWebView* self) -> gboolean {
        return self->m_policy && !self->m_policy->shouldPrint();
    };
    g_signal_connect(view, "print", G_CALLBACK(print), this);
    const auto downloadStarted = +[](WebKitNetworkSession*, WebKitDownload* download, GtkExamWebView* self) {
        if (!self->m_policy)
            return;
        WebKitURIRequest* request = webkit_download_get_request(download);
        const char* address = request ? webkit_uri_request_get_uri(request) : nullptr;
        if (!self->m_policy->shouldDownload(address ? address : ""))
            webkit_download_cancel(download);
    };
    g_signal_connect(webkit_web_view_get_network_session(view), "download-started", G_CALLBACK(downloadStarted), this);

    GtkEventController* secondaryPress = gtk_event_controller_legacy_new();
    gtk_event_controller_set_propagation_phase(secondaryPress, GTK_PHASE_CAPTURE);
    g_signal_connect(secondaryPress, "event", G_CALLBACK(stopSecondaryPress), nullptr);
    gtk_widget_add_controller(GTK_WIDGET(view), secondaryPress);
}

void GtkExamWebView::setCustomUserAgent(const std::string& userAgent)
{
    applyUserAgent(m_webView.get(), m_extensionsDirectory, userAgent);
}

// The engine starts its web and network processes with the first load: an empty page,
// loaded while the status request waits.
void GtkExamWebView::startEngine()
{
    m_startingEngine = true;
    m_awaitingOurLoad = true;
    webkit_web_view_load_uri(m_webView.get(), "about:blank");
}

void GtkExamWebView::setPolicy(WebViewPolicy& policy)
{
    m_policy = &policy;
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
    const auto received = +[](WebKitUserContentManager*, JSCValue* value, MessageBinding* binding) {
        binding->handler->didReceiveScriptMessage(binding->name, scriptMessageBody(value));
    };
    g_signal_connect(manager, signal.c_str(), G_CALLBACK(received), &binding);
}

void GtkExamWebView::load(const std::string& address)
{
    m_startingEngine = false;
    m_awaitingOurLoad = true;
    // The program's compiled resources live in this process only; WebKit's own
    // processes cannot read them, so their content is handed over here.
    // The address's fragment is the page's to read; the resource is the path before it.
    constexpr std::string_view resourceScheme = "resource://";
    if (address.starts_with(resourceScheme)) {
        const std::string path = address.substr(resourceScheme.size(), address.find('#') - resourceScheme.size());
        if (const GRefPtr<GBytes, g_bytes_unref> content {
                g_resources_lookup_data(path.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr) }) {
            gsize size = 0;
            const auto* data = static_cast<const char*>(g_bytes_get_data(content.get(), &size));
            const std::string html(data, size);
            webkit_web_view_load_html(m_webView.get(), html.c_str(), address.c_str());
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

}
