"""A cage, the exam session's kiosk compositor, nested in an X server that plays the
machine (its X11 backend, a window for each of its screens): cage offers no virtual
keyboard, so keys reach it as a real keyboard's would, from xdotool. Cage refuses root
like sway, and runs as sway does. A program runs as the session runs tessaro, by the
entry's command (installed as it is), so cage comes and goes with the launch. Cage has
no IPC: it names no windows, and a dialog is waited for by a pause."""

import os
import shlex

from .desktop import NamesNoWindows, X11
from .sway import Sway

ENTRY = os.path.join(os.path.dirname(__file__), "..", "..", "..", "resources", "tessaro-exam.desktop")


class Cage(NamesNoWindows, X11):
    as_nobody = os.geteuid() == 0
    own = Sway.own

    def start(self, screens):
        super().start(1)
        self.own(self.folder)
        self.environment.pop("GDK_BACKEND")
        self.environment.update(WLR_BACKENDS="x11", WLR_X11_OUTPUTS=str(screens), WLR_RENDERER="pixman")

    def wrap(self, argv):
        with open(ENTRY) as file:
            command = next(line for line in file if line.startswith("Exec="))[len("Exec="):]
        return Sway.wrap(self, [argv[0] if word == "tessaro" else word for word in shlex.split(command)] + argv[1:])

    def key(self, window, keys):
        # The window of cage's screen has the focus since it appeared.
        self.run(["xdotool", "key", *keys.split()])
