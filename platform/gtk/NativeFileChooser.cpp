#include "platform/gtk/NativeFileChooser.h"

#include <memory>

#include <gtk/gtk.h>

#include "platform/glib/GLibOwners.h"

namespace tessaro {

namespace {

struct PendingChoice {
    GObjectPtr<GtkFileChooserNative> chooser;
    std::function<void(std::optional<std::string>)> completion;
};

void chooserResponded(GtkNativeDialog* chooser, int response, gpointer data)
{
    std::unique_ptr<PendingChoice> pending(static_cast<PendingChoice*>(data));
    std::optional<std::string> path;
    if (response == GTK_RESPONSE_ACCEPT) {
        if (const auto file = GObjectPtr<GFile>(gtk_file_chooser_get_file(GTK_FILE_CHOOSER(chooser)))) {
            if (const GCharPtr filePath { g_file_get_path(file.get()) })
                path = filePath.get();
        }
    }
    gtk_native_dialog_destroy(chooser);
    pending->completion(std::move(path));
}

}

NativeFileChooser::NativeFileChooser(std::function<GtkWindow*()> examWindow)
    : m_examWindow(std::move(examWindow))
{
}

void NativeFileChooser::chooseOneFile(std::function<void(std::optional<std::string> path)> completion)
{
    auto chooser = GObjectPtr<GtkFileChooserNative>(
        gtk_file_chooser_native_new("Open", m_examWindow(), GTK_FILE_CHOOSER_ACTION_OPEN, nullptr, nullptr));
    GtkNativeDialog* dialog = GTK_NATIVE_DIALOG(chooser.get());
    gtk_native_dialog_set_modal(dialog, true);
    gtk_file_chooser_set_select_multiple(GTK_FILE_CHOOSER(dialog), false);
    // The pending choice keeps the chooser until it has answered.
    auto* pending = new PendingChoice { std::move(chooser), std::move(completion) };
    g_signal_connect(dialog, "response", G_CALLBACK(chooserResponded), pending);
    gtk_native_dialog_show(dialog);
}

}
