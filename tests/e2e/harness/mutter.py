"""A headless mutter (GNOME's compositor) on a session bus of its own. Its seat gets a
keyboard and a pointer from a remote-desktop session, the way GNOME's own tests drive it;
the clipboard is read and set through that session too. Mutter lists no windows to other
programs: input goes to the focused window, and a dialog is waited for by a pause."""

import os
import subprocess
import threading

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

from .desktop import Desktop, NamesNoWindows  # noqa: E402
from .processes import wait_until  # noqa: E402

NAME = "org.gnome.Mutter.RemoteDesktop"
TEXT = "text/plain;charset=utf-8"
KEYSYMS = {"ctrl": 0xFFE3, "shift": 0xFFE1, "alt": 0xFFE9, "super": 0xFFEB, "Return": 0xFF0D, "Escape": 0xFF1B,
           "F4": 0xFFC1, "Tab": 0xFF09}
# A window-manager binding of the test desktop takes full screen away, which no other
# program can ask of mutter; Super+H (minimise) and Alt+Tab are mutter's own.
BINDINGS = "[org/gnome/desktop/wm/keybindings]\ntoggle-fullscreen=['<Super>f']\n"
BUTTONS = {1: 0x110, 2: 0x112, 3: 0x111}  # evdev BTN_LEFT, BTN_MIDDLE, BTN_RIGHT


class Mutter(NamesNoWindows, Desktop):
    primary = False

    def start(self, screens):
        folder = self.folder
        environment = {key: value for key, value in os.environ.items() if key not in ("DISPLAY", "WAYLAND_DISPLAY")}
        settings = os.path.join(folder, "mutter-home", ".config")
        os.makedirs(os.path.join(settings, "glib-2.0", "settings"))
        with open(os.path.join(settings, "glib-2.0", "settings", "keyfile"), "w") as file:
            file.write(BINDINGS)
        environment.update(XDG_RUNTIME_DIR=self.runtime, HOME=os.path.join(folder, "mutter-home"),
                           XDG_CONFIG_HOME=settings, GSETTINGS_BACKEND="keyfile")
        monitors = " --virtual-monitor 1280x800" + (" --virtual-monitor 1024x768" if screens == 2 else "")
        compositor = self.processes.start(["dbus-run-session", "--", "sh", "-c", 'echo "$DBUS_SESSION_BUS_ADDRESS"; '
                                           "exec mutter --headless --wayland --no-x11" + monitors], "mutter",
                                          environment, subprocess.PIPE)
        address = compositor.stdout.readline().decode().strip()
        if not address or not wait_until(lambda: os.path.exists(self.runtime + "/wayland-0"), 10):
            raise RuntimeError("mutter did not start (see mutter.log)")
        self.environment["WAYLAND_DISPLAY"] = "wayland-0"
        self.bus = Gio.DBusConnection.new_for_address_sync(
            address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
        self.offered = None
        # Mutter takes its name on the bus a moment after its socket appears.
        self.path = wait_until(self.create_session, 10)
        self.bus.signal_subscribe(NAME, NAME + ".Session", "SelectionTransfer", self.path, None,
                                  Gio.DBusSignalFlags.NONE, self.transfer)
        # The offer's transfers come as signals, while the caller waits for other things.
        threading.Thread(target=GLib.MainLoop().run, daemon=True).start()
        self.session("Start")
        self.session("EnableClipboard", GLib.Variant("(a{sv})", ({},)))
        # The seat's keyboard and pointer appear with their first events.
        self.keys("shift")
        self.session("NotifyPointerMotionRelative", GLib.Variant("(dd)", (0.0, 0.0)))

    def call(self, path, interface, method, parameters=None, reply=None):
        result, fds = self.bus.call_with_unix_fd_list_sync(NAME, path, interface, method, parameters,
                                                           GLib.VariantType(reply) if reply else None,
                                                           Gio.DBusCallFlags.NONE, 5000, None, None)
        return result.unpack() + ((fds.get(result.unpack()[0]),) if fds else ()) if result else None

    def create_session(self):
        try:
            return self.call("/org/gnome/Mutter/RemoteDesktop", NAME, "CreateSession", reply="(o)")[0]
        except GLib.Error:
            return None

    def session(self, method, parameters=None, reply=None):
        return self.call(self.path, NAME + ".Session", method, parameters, reply)

    def keys(self, keys):
        for chord in keys.split():
            syms = [KEYSYMS.get(name, ord(name[0])) for name in chord.split("+")]
            for sym, pressed in [(sym, True) for sym in syms] + [(sym, False) for sym in reversed(syms)]:
                self.session("NotifyKeyboardKeysym", GLib.Variant("(ub)", (sym, pressed)))

    def fullscreen(self, window):
        return None

    def key(self, window, keys):
        self.keys(keys)

    def type(self, window, text):
        for character in text:
            for pressed in (True, False):
                self.session("NotifyKeyboardKeysym", GLib.Variant("(ub)", (ord(character), pressed)))

    def click(self, window, x, y, button):
        # Relative motion needs no screen-cast stream: first into the top left corner,
        # where the pointer stops, then to the point.
        for dx, dy in ((-10000.0, -10000.0), (float(x), float(y))):
            self.session("NotifyPointerMotionRelative", GLib.Variant("(dd)", (dx, dy)))
        for pressed in (True, False):
            self.session("NotifyPointerButton", GLib.Variant("(ib)", (BUTTONS[button], pressed)))

    def close_window(self, window, times):
        self.keys(" ".join(["alt+F4"] * times))

    def leave_fullscreen(self, window):
        self.keys("super+f")

    def minimize_and_show(self, window):
        self.keys("super+h alt+Tab")

    def set_selection(self, name, text):
        if name == "clipboard":
            self.offered = text.encode()
            self.session("SetSelection", GLib.Variant("(a{sv})", ({"mime-types": GLib.Variant("as", [TEXT])},)))

    def transfer(self, connection, sender, path, interface, signal, parameters):
        serial = parameters.unpack()[1]
        with os.fdopen(self.session("SelectionWrite", GLib.Variant("(u)", (serial,)), "(h)")[1], "wb") as pipe:
            pipe.write(self.offered or b"")
        self.session("SelectionWriteDone", GLib.Variant("(ub)", (serial, True)))

    def selection(self, name):
        if name != "clipboard":
            return None
        try:
            fd = self.session("SelectionRead", GLib.Variant("(s)", (TEXT,)), "(h)")[1]
        except GLib.Error as error:
            # Mutter does not serve the session's own offer back to it.
            return self.offered.decode() if "own selection" in error.message and self.offered else None
        with os.fdopen(fd, "rb") as pipe:
            os.set_blocking(pipe.fileno(), True)
            text = pipe.read().decode(errors="replace")
        # Mutter answers the read of an offer without text with no bytes at all.
        return text or None

    def screenshot(self, path):
        pass
