#include "platform/gtk/NativeFileChooser.h"

#include <utility>

#include <gtk/gtk.h>

#include "platform/glib/GLibCallbacks.h"
#include "platform/glib/GLibOwners.h"

namespace tessaro {

namespace {

std::optional<std::string> chosenPath(GtkNativeDialog* chooser, int response)
{
    if (response != GTK_RESPONSE_ACCEPT)
        return std::nullopt;
    const GObjectPtr<GFile> file(gtk_file_chooser_get_file(GTK_FILE_CHOOSER(chooser)));
    const GCharPtr path(file ? g_file_get_path(file.get()) : nullptr);
    return path ? std::optional<std::string>(path.get()) : std::nullopt;
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
    // The handler keeps the chooser until it has answered.
    connectCallable<void(GtkNativeDialog*, int)>(dialog, "response",
                                                 [chooser = std::move(chooser), completion = std::move(completion)](
                                                     GtkNativeDialog* answered, int response) mutable {
                                                     const auto keptUntilAnswered = std::move(chooser);
                                                     std::optional<std::string> path = chosenPath(answered, response);
                                                     gtk_native_dialog_destroy(answered);
                                                     completion(std::move(path));
                                                 });
    gtk_native_dialog_show(dialog);
}

}
