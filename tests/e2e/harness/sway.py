"""A headless sway (wlroots). Sway refuses to run as root, so under root it and the
program under test run as the user "nobody", who then owns the folder. Keys come from
wtype, clicks from sway's own seat commands, the selections from wl-clipboard. A headless
sway has no input devices: a virtual keyboard (an idle wtype) and a virtual pointer stay
for the whole run, so the seat offers both to clients, as on a desktop, before the
program starts."""

import glob
import json
import os
import struct

from .desktop import Desktop
from .processes import wait_until
from .wayland import WaylandClient, WlClipboard

NOBODY = 65534
MODIFIER_KEYS = {"shift": "Shift_L", "ctrl": "Control_L", "alt": "Alt_L"}


class Sway(WlClipboard, Desktop):
    def start(self, screens):
        folder = self.folder
        self.as_nobody = os.geteuid() == 0
        os.makedirs(os.path.join(folder, "sway-home"))
        config = os.path.join(folder, "sway.conf")
        with open(config, "w") as file:
            file.write("output HEADLESS-1 resolution 1280x800\ndefault_border none\n")
        self.own(folder)
        self.processes.start(self.wrap(["sway", "-c", config]), "sway", {
            "PATH": "/usr/sbin:/usr/bin:/sbin:/bin", "HOME": os.path.join(folder, "sway-home"),
            "XDG_RUNTIME_DIR": self.runtime, "WLR_BACKENDS": "headless", "WLR_LIBINPUT_NO_DEVICES": "1",
            "WLR_RENDERER": "pixman"})
        sockets = wait_until(lambda: len(found := self.sockets()) == 2 and found, 10)
        if not sockets:
            raise RuntimeError("sway did not start (see sway.log)")
        display, ipc = sockets
        # The socket's name in the session's runtime folder, as a desktop session has
        # them: WebKit's sandbox finds the socket only that way.
        self.environment["WAYLAND_DISPLAY"] = os.path.basename(display)
        self.tools.update(XDG_RUNTIME_DIR=self.runtime, WAYLAND_DISPLAY=display, SWAYSOCK=ipc)
        self.tools.pop("DISPLAY", None)
        if not wait_until(lambda: self.run(["swaymsg", "-t", "get_version"]).returncode == 0, 10):
            raise RuntimeError("sway does not answer (see sway.log)")
        if screens == 2:
            self.run(["swaymsg", "create_output"])
        self.processes.start(["wtype", "-s", "86400000"], "sway-keyboard", self.tools)
        # A zwlr_virtual_pointer_v1 on the default seat.
        self.pointer = WaylandClient(display)
        self.pointer.send(self.pointer.bind("zwlr_virtual_pointer_manager_v1", 1), 0, struct.pack("<I", 0),
                          self.pointer.new_id())  # create_virtual_pointer
        self.pointer.roundtrip()

    def sockets(self):
        displays = [path for path in glob.glob(self.runtime + "/wayland-*") if not path.endswith(".lock")]
        return displays[:1] + glob.glob(self.runtime + "/sway-ipc.*")[:1]

    def wrap(self, argv):
        if not self.as_nobody:
            return argv
        return ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups", "--", *argv]

    def own(self, path):
        if self.as_nobody:
            for folder, folders, files in os.walk(path):
                for name in folders + files:
                    os.lchown(os.path.join(folder, name), NOBODY, NOBODY)
            os.chown(path, NOBODY, NOBODY)

    def node(self, matches, timeout):
        """The first window of sway's tree that matches, waiting for one."""
        def find(node):
            if matches(node):
                return node
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                if found := find(child):
                    return found
            return None
        return wait_until(lambda: find(json.loads(self.run(["swaymsg", "-r", "-t", "get_tree"]).stdout or "{}")),
                          timeout, 0.1)

    def window(self, launch, timeout):
        node = self.node(lambda n: n.get("pid") == launch.pid and n.get("visible"), timeout)
        return node and str(node["id"])

    def dialog(self, title, timeout):
        node = self.node(lambda n: n.get("name") == title, timeout)
        return node and str(node["id"])

    def fullscreen(self, window):
        node = self.node(lambda n: str(n.get("id")) == window, 1)
        return bool(node) and node.get("fullscreen_mode") == 1

    def focus(self, window):
        # As xdotool's windowactivate on X11: keys go to the window the test means.
        self.run(["swaymsg", f"[con_id={window}] focus"])

    def key(self, window, keys):
        self.focus(window)
        # Each wtype is a keyboard of its own: its keys wait until clients have its keymap.
        argv = ["wtype", "-s", "300"]
        for chord in keys.split():
            *held, key = chord.split("+")
            argv += [part for modifier in held for part in ("-M", modifier)]
            argv += ["-k", MODIFIER_KEYS.get(key, key)]
            argv += [part for modifier in held for part in ("-m", modifier)] + ["-s", "30"]
        self.run(argv)

    def type(self, window, text):
        self.focus(window)
        # The first character may open the field that takes the rest (a chooser's location).
        self.run(["wtype", "-s", "300", text[:1], "-s", "700", "-d", "30", text[1:]])

    def click(self, window, x, y, button):
        # The exam window is full screen on the one output, whose origin is the layout's.
        self.run(["swaymsg", f"seat - cursor set {x} {y}; seat - cursor press button{button}; "
                  f"seat - cursor release button{button}"])

    def leave_fullscreen(self, window):
        self.run(["swaymsg", f"[con_id={window}] fullscreen disable"])

    def close_window(self, window, times):
        self.run(["swaymsg", "; ".join([f"[con_id={window}] kill"] * times)])

    def screenshot(self, path):
        self.run(["grim", path])
