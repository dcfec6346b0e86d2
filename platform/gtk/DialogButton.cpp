#include "platform/gtk/DialogButton.h"

#include <string>

namespace tessaro {

namespace {

// "Do_n't Allow" reads "Don't Allow"; "__" stands for one underline.
std::string withoutMnemonic(const char* title)
{
    std::string text;
    for (const char* character = title; *character; ++character) {
        if (*character == '_' && character[1])
            ++character;
        text += *character;
    }
    return text;
}

}

GtkWidget* addDialogButton(GtkDialog* dialog, const char* title, int response)
{
    GtkWidget* button = gtk_dialog_add_button(dialog, title, response);
    gtk_accessible_reset_relation(GTK_ACCESSIBLE(button), GTK_ACCESSIBLE_RELATION_LABELLED_BY);
    gtk_accessible_update_property(GTK_ACCESSIBLE(button), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                   withoutMnemonic(title).c_str(), -1);
    return button;
}

}
