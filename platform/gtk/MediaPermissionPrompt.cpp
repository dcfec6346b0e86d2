#include "platform/gtk/MediaPermissionPrompt.h"

#include <string>

#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include "platform/glib/GLibCallbacks.h"
#include "platform/glib/GLibOwners.h"
#include "platform/gtk/DialogButton.h"

namespace tessaro {

namespace {

constexpr int allowResponse = 1;

std::string originOf(const char* pageAddress)
{
    if (!pageAddress)
        return "This page";
    const GRefPtr<WebKitSecurityOrigin, webkit_security_origin_unref> origin(
        webkit_security_origin_new_for_uri(pageAddress));
    const GCharPtr text(webkit_security_origin_to_string(origin.get()));
    return text ? text.get() : pageAddress;
}

std::string whatIsWanted(WebKitUserMediaPermissionRequest* request)
{
    const bool camera = webkit_user_media_permission_is_for_video_device(request);
    const bool microphone = webkit_user_media_permission_is_for_audio_device(request);
    if (camera && microphone)
        return "your camera and microphone";
    return camera ? "your camera" : "your microphone";
}

void answer(WebKitPermissionRequest* request, int response)
{
    if (response == allowResponse) {
        webkit_permission_request_allow(request);
    } else {
        webkit_permission_request_deny(request);
    }
}

}

void askForMediaPermission(GtkWindow* examWindow, const char* pageAddress, WebKitUserMediaPermissionRequest* request)
{
    const std::string question = originOf(pageAddress) + " wants to use " + whatIsWanted(request);
    GtkWidget* prompt
        = gtk_message_dialog_new(examWindow, GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                                 GTK_MESSAGE_QUESTION, GTK_BUTTONS_NONE, "%s", question.c_str());
    gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(prompt), "%s",
                                             "Allow it only if your exam asks to see or hear you.");
    gtk_window_set_title(GTK_WINDOW(prompt), "Camera and microphone");
    addDialogButton(GTK_DIALOG(prompt), "Do_n't Allow", GTK_RESPONSE_REJECT);
    addDialogButton(GTK_DIALOG(prompt), "_Allow", allowResponse);
    gtk_dialog_set_default_response(GTK_DIALOG(prompt), GTK_RESPONSE_REJECT);
    // Every way the prompt ends (a button, Escape, the window manager) is one response.
    connectCallable<void(GtkDialog*, int)>(
        prompt, "response",
        [pending = retainObject(WEBKIT_PERMISSION_REQUEST(request))](GtkDialog* answered, int response) {
            answer(pending.get(), response);
            gtk_window_destroy(GTK_WINDOW(answered));
        });
    gtk_window_present(GTK_WINDOW(prompt));
}

}
