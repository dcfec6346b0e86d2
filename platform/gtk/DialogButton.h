#pragma once

#include <gtk/gtk.h>

namespace tessaro {

// Adds a button to a dialog and names it for assistive technology by its title without
// the mnemonic underline: GTK 4.8 names a dialog's button by its text twice ("Quit Quit"),
// and a screen reader would say so.
GtkWidget* addDialogButton(GtkDialog* dialog, const char* title, int response);

}
