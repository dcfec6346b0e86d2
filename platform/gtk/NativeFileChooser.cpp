#include "platform/gtk/NativeFileChooser.h"

#include <memory>

#include <gtk/gtk.h>

namespace tessaro {

namespace {

struct PendingChoice {
    std::function<void(std::optional<std::string>)> completion;
};

void chooserResponded(GtkNativeDialog* chooser, int response, gpointer data)
{
    std::unique_ptr<PendingChoice> pending(static_cast<PendingChoice*>(data));
    std::optional<std::string> path;
    if (response == GTK_RESPONSE_ACCEPT) {
        if (GFile* file = gtk_file_chooser_get_file(GTK_FILE_CHOOSER(chooser))) {
            if (char* filePath = g_file_get_path(file)) {
                path = filePath;
                g_free(filePath);
            }
            g_object_unref(file);
        }
    }
    gtk_native_dialog_destroy(chooser);
    g_object_unref(chooser);
    pending->completion(std::move(path));
}

}

NativeFileChooser::NativeFileChooser(std::function<GtkWindow*()> examWindow)
    : m_examWindow(std::move(examWindow))
{
}

void NativeFileChooser::chooseOneFile(std::function<void(std::optional<std::string> path)> completion)
{
    GtkFileChooserNative* chooser
        = gtk_file_chooser_native_new("Open", m_examWindow(), GTK_FILE_CHOOSER_ACTION_OPEN, nullptr, nullptr);
    gtk_native_dialog_set_modal(GTK_NATIVE_DIALOG(chooser), true);
    gtk_file_chooser_set_select_multiple(GTK_FILE_CHOOSER(chooser), false);
    g_signal_connect(chooser, "response", G_CALLBACK(chooserResponded), new PendingChoice { std::move(completion) });
    gtk_native_dialog_show(GTK_NATIVE_DIALOG(chooser));
}

}
