#include "platform/gtk/GtkAlert.h"

#include <gtk/gtk.h>

#include "platform/glib/GLibOwners.h"
#include "platform/gtk/DialogButton.h"
#include "platform/gtk/GtkTimers.h"

namespace tessaro {

GtkAlert::GtkAlert(GtkTimers& timers)
    : m_timers(timers)
{
}

void GtkAlert::runModal(const AlertContent& content)
{
    // An alert, not a plain dialog, to assistive technology: a screen reader then reads
    // its texts as soon as it appears, before the student finds the button.
    GtkWidget* dialog
        = GTK_WIDGET(g_object_new(GTK_TYPE_MESSAGE_DIALOG, "accessible-role", GTK_ACCESSIBLE_ROLE_ALERT_DIALOG,
                                  "message-type", GTK_MESSAGE_WARNING, "buttons", GTK_BUTTONS_NONE, "use-header-bar",
                                  FALSE, "modal", TRUE, "text", content.messageText.c_str(), nullptr));
    gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s", content.informativeText.c_str());
    addDialogButton(GTK_DIALOG(dialog), content.buttonTitle.c_str(), GTK_RESPONSE_ACCEPT);
    gtk_window_set_title(GTK_WINDOW(dialog), "Tessaro");
    if (GApplication* application = g_application_get_default())
        gtk_window_set_application(GTK_WINDOW(dialog), GTK_APPLICATION(application));

    // Any way the dialog ends - its button, Escape, the window manager closing it -
    // ends the loop: the alert cannot be dismissed into a running exam.
    const GRefPtr<GMainLoop, g_main_loop_unref> loop(g_main_loop_new(nullptr, false));
    g_signal_connect_swapped(dialog, "response", G_CALLBACK(g_main_loop_quit), loop.get());
    g_signal_connect_swapped(dialog, "destroy", G_CALLBACK(g_main_loop_quit), loop.get());

    m_timers.hold();
    // Our own reference keeps the dialog readable even when the window manager has
    // destroyed it.
    const auto keptDialog = retainObject(dialog);
    gtk_window_present(GTK_WINDOW(dialog));
    m_loop = loop.get();
    g_main_loop_run(loop.get());
    m_loop = nullptr;
    // The loop goes last: destroying the dialog emits "destroy" once more.
    g_signal_handlers_disconnect_by_data(dialog, loop.get());
    gtk_window_destroy(GTK_WINDOW(dialog));
    m_timers.release();
}

void GtkAlert::dismiss()
{
    if (m_loop)
        g_main_loop_quit(m_loop);
}

}
