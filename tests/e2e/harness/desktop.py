"""A desktop of the caller's own, started headless; the X11 one is an X server with
openbox (Xvfb, or Xorg's dummy driver for two monitors), driven with xdotool."""

import importlib
import os
import subprocess
import time

from .processes import Processes, wait_until

# Two 1024x768 monitors side by side on Xorg's dummy driver.
MODE = 'Modeline "1024x768" 65.00 1024 1048 1184 1344 768 771 777 806 -hsync -vsync'
TWO_MONITORS = f"""Section "ServerFlags" Option "AutoAddDevices" "false" Option "AutoAddGPU" "false" EndSection
Section "Device" Identifier "dummy" Driver "dummy" VideoRam 65536
    Option "Monitor-DUMMY0" "mon0" Option "Monitor-DUMMY1" "mon1" EndSection
Section "Monitor" Identifier "mon0" {MODE} EndSection
Section "Monitor" Identifier "mon1" {MODE} Option "Enable" "true" Option "RightOf" "mon0" EndSection
Section "Screen" Identifier "screen" Device "dummy" Monitor "mon0" DefaultDepth 24
    SubSection "Display" Depth 24 Virtual 2048 768 EndSubSection EndSection
"""
# Without a configuration of its own openbox opens a syntax-error window that takes the focus.
OPENBOX = """<openbox_config xmlns="http://openbox.org/3.4/rc">
<focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus></openbox_config>
"""


def start_desktop(kind, folder, screens=1):
    """"x11", "sway", "mutter", "kwin" or "cage"; mutter is driven through Debian's python3 GLib bindings."""
    kind = kind.lower()
    desktop = (X11 if kind == "x11" else getattr(importlib.import_module("." + kind, __package__), kind.title()))(folder)
    try:
        desktop.start(screens)
    except BaseException:
        desktop.close()
        raise
    return desktop


class Desktop:
    """What every desktop offers. Windows are named as the desktop names them; one that
    names none takes input in the focused window."""

    primary = True  # whether other programs can read its primary selection

    def __init__(self, folder):
        self.folder = folder
        self.runtime = os.path.join(folder, "runtime")
        os.makedirs(self.runtime, mode=0o700)
        self.processes = Processes(folder)
        self.environment = {"XDG_RUNTIME_DIR": self.runtime}  # a program's, on this desktop
        self.tools = dict(os.environ)  # a desktop tool's
        self.bus_address = None

    def wrap(self, argv):
        """The command of a program on this desktop, run as the desktop's user."""
        return argv

    def own(self, path):
        """Gives the folder to the desktop's user."""

    def run(self, argv, timeout=10):
        try:
            return subprocess.run(argv, env=self.tools, stdin=subprocess.DEVNULL, capture_output=True, text=True,
                                  timeout=timeout)
        except subprocess.TimeoutExpired:
            return subprocess.CompletedProcess(argv, -1, "", "")

    def bus(self):
        """A session bus of the desktop's, started on first use."""
        if not self.bus_address:
            environment = dict(self.tools, HOME=self.folder, XDG_RUNTIME_DIR=self.runtime)
            bus = self.processes.start(["dbus-daemon", "--session", "--nofork", "--print-address=1"], "dbus",
                                       environment, subprocess.PIPE)
            self.bus_address = bus.stdout.readline().decode().strip()
        return self.bus_address

    def close(self):
        self.processes.close()

    def window(self, launch, timeout):
        """The program's first window, where the desktop lists windows (windows(name, pid))."""
        return (wait_until(lambda: self.windows(pid=launch.pid), timeout) or [None])[0]

    def dialog(self, title, timeout):
        return (wait_until(lambda: self.windows(name=f"^{title}$"), timeout) or [None])[0]


class NamesNoWindows:
    """A desktop that names no windows to other programs: the program's "Was able to lock?"
    line says its window is shown and the compositor answered its full-screen request, and
    a dialog is given the time to appear."""

    def window(self, launch, timeout):
        found = wait_until(lambda: any(line.startswith("Was able to lock? ") for line in launch.lines()), timeout)
        return "" if found else None

    def dialog(self, title, timeout):
        time.sleep(3)
        return ""


class X11(Desktop):
    def start(self, screens):
        folder = self.folder
        server = ["Xvfb", "-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset"]
        if screens == 2:
            config = os.path.join(folder, "xorg-dummy.conf")
            with open(config, "w") as file:
                file.write(TWO_MONITORS)
            server = ["Xorg", "-displayfd", "1", "-config", config, "-noreset", "-nolisten", "tcp", "-novtswitch",
                      "-sharevts", "-logfile", os.path.join(folder, "xorg.log")]
        number = self.processes.start(server, "xserver", stdout=subprocess.PIPE).stdout.readline().decode().strip()
        if not number:
            raise RuntimeError("the X server did not start (see xserver.log)")
        self.environment.update(DISPLAY=":" + number, GDK_BACKEND="x11")
        self.tools.update(DISPLAY=":" + number)
        config = os.path.join(folder, "openbox-rc.xml")
        with open(config, "w") as file:
            file.write(OPENBOX)
        self.processes.start(["openbox", "--sm-disable", "--config-file", config], "openbox", self.tools)
        if not wait_until(lambda: "window id" in self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]).stdout, 10):
            raise RuntimeError("openbox did not start (see openbox.log)")

    def windows(self, name=None, pid=None):
        """The visible windows of that title (a pattern) or process."""
        found = self.run(["xdotool", "search", "--onlyvisible", *(["--name", name] if name else ["--pid", str(pid)])])
        return found.stdout.split()

    def title(self, window):
        return self.run(["xdotool", "getwindowname", window]).stdout.rstrip("\n")

    def size(self, window):
        geometry = self.run(["xdotool", "getwindowgeometry", "--shell", window]).stdout
        values = dict(line.split("=") for line in geometry.split())
        return [int(values["WIDTH"]), int(values["HEIGHT"])]

    def fullscreen(self, window):
        return "_NET_WM_STATE_FULLSCREEN" in self.run(["xprop", "-id", window, "_NET_WM_STATE"]).stdout

    def key(self, window, keys):
        self.run(["xdotool", "windowactivate", "--sync", window, "key", "--clearmodifiers", *keys.split()])

    def type(self, window, text):
        self.run(["xdotool", "windowactivate", "--sync", window, "type", "--delay", "20", text])

    def click(self, window, x, y, button):
        # No --sync: it waits forever when the pointer is already there.
        self.run(["xdotool", "mousemove", "--window", window, str(x), str(y), "click", str(button)])

    def close_window(self, window, times):
        for _ in range(times):
            self.run(["wmctrl", "-i", "-c", window])

    def leave_fullscreen(self, window):
        self.run(["wmctrl", "-i", "-r", window, "-b", "remove,fullscreen"])

    def minimize_and_show(self, window):
        self.run(["xdotool", "windowminimize", "--sync", window, "windowactivate", "--sync", window])

    def selection(self, name):
        found = self.run(["xclip", "-o", "-selection", name])
        return found.stdout if found.returncode == 0 else None

    def set_selection(self, name, text):
        # xclip stays behind to serve the selection, until the X server goes; it takes the
        # selection only after its first process has ended.
        subprocess.run(["xclip", "-selection", name], env=self.tools, input=text.encode(), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)
        wait_until(lambda: self.selection(name) == text, 2)

    def screenshot(self, path):
        self.run(["import", "-window", "root", path], 20)
