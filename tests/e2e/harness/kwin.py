"""A headless KWin (KDE Plasma's compositor) on a session bus of its own. Keys and clicks
come from KWin's fake-input protocol, which KWin offers every client only with its
permission checks off (KWIN_WAYLAND_NO_PERMISSION_CHECKS=1: fine for a test desktop,
never for a student's); that client stays for the whole run, so the seat has a keyboard
and a pointer before the program starts. Windows are listed, activated, minimised, taken out
of full screen and closed by KWin scripts loaded over D-Bus, whose printed answers come
back in KWin's log."""

import itertools
import json
import os
import re
import shutil
import struct
import subprocess

from .desktop import Desktop
from .processes import wait_until
from .wayland import WaylandClient, WlClipboard, fixed, text

# Linux input event codes of a US keyboard, KWin's default keymap.
ROWS = {2: ("1234567890-=", "!@#$%^&*()_+"), 16: ("qwertyuiop[]", "QWERTYUIOP{}"),
        30: ("asdfghjkl;'`", 'ASDFGHJKL:"~'), 43: ("\\zxcvbnm,./", "|ZXCVBNM<>?")}
KEYS = {"shift": [42], "ctrl": [29], "alt": [56], "Return": [28], "Escape": [1], "F4": [62], " ": [57]}
KEYS.update({character: [code + offset] for code, row in ROWS.items() for offset, character in enumerate(row[0])})
KEYS.update({character: [42, code + offset] for code, row in ROWS.items() for offset, character in enumerate(row[1])})
BUTTONS = {1: 0x110, 2: 0x112, 3: 0x111}  # evdev BTN_LEFT, BTN_MIDDLE, BTN_RIGHT
AUTHENTICATE, BUTTON, MOVE_TO, KEY = 0, 2, 9, 10  # org_kde_kwin_fake_input requests
WINDOWS = "workspace.clientList().map(c => [c.internalId.toString(), c.pid, c.caption, c.fullScreen, c.width, c.height])"
FIND = "workspace.clientList().find(c => c.internalId.toString() == {})"


class Kwin(WlClipboard, Desktop):
    primary = False  # KWin 5.27 offers other programs the clipboard only
    # While no one holds the clipboard KWin 5.27 tells a data-control client nothing at
    # all, and wl-paste waits; a held one is announced at once.
    paste_timeout = 2

    def start(self, screens):
        # Debian's kwin_wayland carries a file capability, which a process without new
        # privileges may not exec; a copy has none. KWin wants the name kwin_wayland.
        os.makedirs(os.path.join(self.folder, "kwin"))
        compositor = shutil.copy("/usr/bin/kwin_wayland", os.path.join(self.folder, "kwin"))
        # A script's print() is logged as "js: TEXT", whatever logging the caller asked for.
        environment = {key: value for key, value in os.environ.items()
                       if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_MESSAGE_PATTERN")}
        environment.update(XDG_RUNTIME_DIR=self.runtime, HOME=os.path.join(self.folder, "kwin-home"),
                           XDG_CONFIG_HOME=os.path.join(self.folder, "kwin-home", ".config"),
                           KWIN_WAYLAND_NO_PERMISSION_CHECKS="1", QT_LOGGING_RULES="js.debug=true")
        self.log, self.scripts = os.path.join(self.folder, "kwin.log"), itertools.count()
        address = self.processes.start(["dbus-run-session", "--", "sh", "-c", 'echo "$DBUS_SESSION_BUS_ADDRESS"; exec >&2 '
                                        f"{compositor} --virtual --width 1280 --height 800 --output-count {screens} "
                                        "--no-lockscreen --no-global-shortcuts --no-kactivities --socket wayland-0"],
                                       "kwin", environment, subprocess.PIPE).stdout.readline().decode().strip()
        display = os.path.join(self.runtime, "wayland-0")
        self.environment["WAYLAND_DISPLAY"] = "wayland-0"
        self.tools.update(XDG_RUNTIME_DIR=self.runtime, WAYLAND_DISPLAY=display, DBUS_SESSION_BUS_ADDRESS=address)
        self.tools.pop("DISPLAY", None)
        if not address or not wait_until(lambda: os.path.exists(display) and self.script("0") == 0, 20, 0.2):
            raise RuntimeError("KWin did not start (see kwin.log)")
        self.input = WaylandClient(display)
        self.fake = self.input.bind("org_kde_kwin_fake_input", 4)
        self.send((AUTHENTICATE, "Tessaro's tests", "keys and clicks of the end-to-end tests"))

    def gdbus(self, path, method, *arguments):
        return self.run(["gdbus", "call", "--session", "--dest", "org.kde.KWin", "--object-path", path, "--method",
                         method, *arguments]).stdout

    def script(self, expression):
        """The JSON value of the expression as KWin evaluates it, or None."""
        name = f"tessaro-{next(self.scripts)}"
        path = os.path.join(self.folder, name + ".js")
        with open(path, "w") as file:
            file.write(f'print("{name} " + JSON.stringify({expression}));\n')
        number = re.match(r"\((\d+),\)", self.gdbus("/Scripting", "org.kde.kwin.Scripting.loadScript", path, name))
        if not number:
            return None
        self.gdbus(f"/{number[1]}", "org.kde.kwin.Script.run")

        def printed():
            with open(self.log, errors="replace") as log:
                return next((line.split(" ", 2)[2] for line in log if line.startswith(f"js: {name} ")), None)
        answer = wait_until(printed, 10)
        self.gdbus(f"/{number[1]}", "org.kde.kwin.Script.stop")  # and unload it
        return json.loads(answer) if answer else None

    def windows(self, name=None, pid=None):
        return [found[0] for found in self.script(WINDOWS) or [] if found[1] == pid or name and re.search(name, found[2])]

    def describe(self, window):
        """The window's id, process, title, full-screen state, width and height."""
        return next((found for found in self.script(WINDOWS) or [] if found[0] == window), [None] * 6)

    def title(self, window):
        return self.describe(window)[2]

    def size(self, window):
        return self.describe(window)[4:]

    def fullscreen(self, window):
        return self.describe(window)[3] is True

    def send(self, *requests):
        for request, *values in requests:
            self.input.send(self.fake, request, b"".join(
                text(value) if isinstance(value, str) else fixed(value) if isinstance(value, float)
                else struct.pack("<I", value) for value in values))
        self.input.roundtrip()

    def press(self, codes):
        self.send(*[(KEY, code, 1) for code in codes], *[(KEY, code, 0) for code in reversed(codes)])

    def key(self, window, keys):
        # As xdotool's windowactivate on X11: keys go to the window the test means.
        self.script(f"(workspace.activeClient = {FIND.format(json.dumps(window))}, 0)")
        for chord in keys.split():
            self.press([code for name in chord.split("+") for code in KEYS[name]])

    def type(self, window, text):
        self.key(window, "")
        for character in text:
            self.press(KEYS[character])

    def click(self, window, x, y, button):
        self.send((MOVE_TO, float(x), float(y)), (BUTTON, BUTTONS[button], 1), (BUTTON, BUTTONS[button], 0))

    def leave_fullscreen(self, window):
        self.script(f"({FIND.format(json.dumps(window))}.fullScreen = false, 0)")

    def minimize_and_show(self, window):
        self.script(f"({FIND.format(json.dumps(window))}.minimized = true, 0)")
        self.script(f"(workspace.activeClient = {FIND.format(json.dumps(window))}, 0)")

    def close_window(self, window, times):
        self.script("(" + f"{FIND.format(json.dumps(window))}.closeWindow(), " * times + "0)")

    def screenshot(self, path):
        pass
