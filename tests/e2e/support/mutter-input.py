#!/usr/bin/python3
"""Input and clipboard for a headless mutter, through its remote-desktop interface.

A remote-desktop session gives the seat a virtual keyboard and pointer for as long as
its caller stays on the bus, so this program stays: it reads numbered requests, one a
line, from the FIFO named on its command line and answers each on standard output as
"NUMBER done" or "NUMBER text TEXT" / "NUMBER none":

    N keys ctrl+q Return ...   presses and releases each chord in turn
    N type TEXT                types the text
    N click X Y BUTTON         moves the pointer to X, Y and clicks (1 primary, 3 secondary)
    N copy TEXT                offers TEXT as the clipboard
    N paste                    the clipboard's text, or none
"""

import os
import sys

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

BUS_NAME = "org.gnome.Mutter.RemoteDesktop"
TEXT_TYPE = "text/plain;charset=utf-8"
KEYSYMS = {
    "ctrl": 0xFFE3, "shift": 0xFFE1, "alt": 0xFFE9, "super": 0xFFEB,
    "Return": 0xFF0D, "Escape": 0xFF1B, "Tab": 0xFF09, "F4": 0xFFC1, "slash": 0x2F,
}
BUTTONS = {1: 0x110, 2: 0x112, 3: 0x111}  # evdev BTN_LEFT, BTN_MIDDLE, BTN_RIGHT


class Session:
    def __init__(self):
        self.bus = Gio.bus_get_sync(Gio.BusType.SESSION)
        path = self.call("/org/gnome/Mutter/RemoteDesktop", BUS_NAME, "CreateSession", None, "(o)")[0]
        self.path = path
        self.offered = None
        self.bus.signal_subscribe(BUS_NAME, BUS_NAME + ".Session", "SelectionTransfer", path, None,
                                  Gio.DBusSignalFlags.NONE, self.transfer)
        self.session("Start")
        self.session("EnableClipboard", GLib.Variant("(a{sv})", ({},)))

    def call(self, path, interface, method, parameters=None, reply=None, fds=None):
        result, _ = self.bus.call_with_unix_fd_list_sync(
            BUS_NAME, path, interface, method, parameters,
            GLib.VariantType(reply) if reply else None, Gio.DBusCallFlags.NONE, 5000, fds, None)
        return result.unpack() if result else None

    def session(self, method, parameters=None):
        return self.call(self.path, BUS_NAME + ".Session", method, parameters)

    def keysym(self, keysym, pressed):
        self.session("NotifyKeyboardKeysym", GLib.Variant("(ub)", (keysym, pressed)))

    def keys(self, chords):
        for chord in chords:
            names = chord.split("+")
            syms = [KEYSYMS.get(name, ord(name) if len(name) == 1 else 0) for name in names]
            for sym in syms:
                self.keysym(sym, True)
            for sym in reversed(syms):
                self.keysym(sym, False)

    def type(self, text):
        for character in text:
            self.keysym(ord(character), True)
            self.keysym(ord(character), False)

    def click(self, x, y, button):
        # Relative motion only needs no screen-cast stream: first into the top left
        # corner, where the pointer stops, then to the point.
        self.session("NotifyPointerMotionRelative", GLib.Variant("(dd)", (-10000.0, -10000.0)))
        self.session("NotifyPointerMotionRelative", GLib.Variant("(dd)", (float(x), float(y))))
        for pressed in (True, False):
            self.session("NotifyPointerButton", GLib.Variant("(ib)", (BUTTONS[button], pressed)))

    def copy(self, text):
        self.offered = text.encode()
        self.session("SetSelection", GLib.Variant("(a{sv})", ({"mime-types": GLib.Variant("as", [TEXT_TYPE])},)))

    def transfer(self, connection, sender, path, interface, signal, parameters):
        mime, serial = parameters.unpack()
        result, fds = self.bus.call_with_unix_fd_list_sync(
            BUS_NAME, self.path, BUS_NAME + ".Session", "SelectionWrite", GLib.Variant("(u)", (serial,)),
            GLib.VariantType("(h)"), Gio.DBusCallFlags.NONE, 5000, None, None)
        fd = fds.get(result.unpack()[0])
        with os.fdopen(fd, "wb") as pipe:
            pipe.write(self.offered or b"")
        self.session("SelectionWriteDone", GLib.Variant("(ub)", (serial, True)))

    def paste(self):
        try:
            result, fds = self.bus.call_with_unix_fd_list_sync(
                BUS_NAME, self.path, BUS_NAME + ".Session", "SelectionRead", GLib.Variant("(s)", (TEXT_TYPE,)),
                GLib.VariantType("(h)"), Gio.DBusCallFlags.NONE, 5000, None, None)
        except GLib.Error as error:
            # Mutter does not serve the session's own offer back to it.
            if "own selection" in error.message and self.offered is not None:
                return self.offered.decode()
            return None
        chunks = []
        with os.fdopen(fds.get(result.unpack()[0]), "rb") as pipe:
            os.set_blocking(pipe.fileno(), True)
            while chunk := pipe.read(65536):
                chunks.append(chunk)
        return b"".join(chunks).decode(errors="replace")


def main():
    session = Session()
    # The seat's keyboard and pointer appear with their first events.
    session.keys(["shift"])
    session.session("NotifyPointerMotionRelative", GLib.Variant("(dd)", (0.0, 0.0)))
    fifo = os.open(sys.argv[1], os.O_RDWR)
    pending = b""
    print("ready", flush=True)

    def answer(request):
        number, _, rest = request.partition(" ")
        verb, _, argument = rest.partition(" ")
        reply = "done"
        if verb == "keys":
            session.keys(argument.split())
        elif verb == "type":
            session.type(argument)
        elif verb == "click":
            x, y, button = argument.split()
            session.click(int(x), int(y), int(button))
        elif verb == "copy":
            session.copy(argument)
        elif verb == "paste":
            text = session.paste()
            reply = "none" if text is None else "text " + text
        print(number, reply, flush=True)

    def readable(fd, condition):
        nonlocal pending
        pending += os.read(fd, 65536)
        while b"\n" in pending:
            line, pending = pending.split(b"\n", 1)
            answer(line.decode())
        return True

    GLib.io_add_watch(fifo, GLib.IO_IN, readable)
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
