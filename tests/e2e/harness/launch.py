"""One run of a program on a desktop: a fresh home with a Downloads folder, its output
kept, and every process it started gone again at the end."""

import contextlib
import os
import shutil
import signal
import subprocess
import tempfile
import time

from .processes import wait_until


def stat(pid):
    """The fields of /proc/PID/stat after the command name (which may hold spaces), or None."""
    try:
        with open(f"/proc/{pid}/stat", "rb") as file:
            text = file.read()
    except OSError:
        return None
    return text[text.rindex(b")") + 2:].split()


def tree(root):
    """The root and all its descendants; WebKit's helpers run under bwrap, so they are
    grandchildren or deeper."""
    children = {}
    for pid in filter(str.isdigit, os.listdir("/proc")):
        if fields := stat(pid):
            children.setdefault(int(fields[1]), []).append(int(pid))
    found, pending = [], [root]
    while pending:
        found.append(pending.pop())
        pending.extend(children.get(found[-1], []))
    return found


def alive(pid):
    # A zombie has ended; whether its parent ever reaps it is not ours to wait for.
    return (stat(pid) or [b"X"])[0] not in (b"Z", b"X")


# The home's folders besides Downloads; a download's body waits in TMPDIR until it is
# complete, on the same file system as Downloads.
FOLDERS = {"TMPDIR": "tmp", "XDG_CONFIG_HOME": ".config", "XDG_CACHE_HOME": ".cache", "XDG_DATA_HOME": ".local/share"}


class Launch:
    def __init__(self, argv, desktop, folder, environment=None, bus=False):
        self.home = tempfile.mkdtemp(prefix="home-", dir=folder)
        os.mkdir(os.path.join(self.home, "Downloads"))
        self.environment = {key: value for key, value in os.environ.items()
                            if key not in ("DISPLAY", "WAYLAND_DISPLAY", "GDK_BACKEND")}
        self.environment.update(desktop.environment, HOME=self.home)
        for key, sub in FOLDERS.items():
            self.environment[key] = os.path.join(self.home, sub)
            os.makedirs(self.environment[key])
        if bus:
            self.environment["DBUS_SESSION_BUS_ADDRESS"] = desktop.bus()
        else:
            # As on a desktop that never started a session bus: nothing says where one is.
            for key in ("DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS", "NO_AT_BRIDGE", "GTK_A11Y"):
                self.environment.pop(key, None)
        self.environment.update(environment or {})
        desktop.own(self.home)
        with open(os.path.join(self.home, "output.log"), "wb") as output, open(os.path.join(self.home, "errors.log"), "wb") as errors:
            self.spawned_ms = time.time_ns() / 1e6
            self.process = subprocess.Popen(desktop.wrap(argv), env=self.environment, stdin=subprocess.DEVNULL,
                                            stdout=output, stderr=errors, start_new_session=True)
        self.pid = self.process.pid
        self.known = {self.pid}

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.stop()
        shutil.rmtree(self.home, ignore_errors=True)

    def downloads(self, name):
        return os.path.join(self.home, "Downloads", name)

    def output(self, log="output"):
        """Its standard output, or with log="errors" its standard error, so far."""
        with open(os.path.join(self.home, log + ".log"), "rb") as output:
            return output.read().decode("utf-8", "replace")

    def lines(self):
        """The complete lines of standard output so far, and the last one once it ended."""
        ended = self.exited()
        lines = self.output().split("\n")
        return lines[:-1] + ([lines[-1]] if ended and lines[-1] else [])

    def exited(self):
        return self.process.poll() is not None

    def wait(self, timeout):
        """The exit status (128 + signal when one ended it), or None while it runs."""
        try:
            status = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None
        return 128 - status if status < 0 else status

    def tree(self):
        """The program's processes now; remembered, so none outlives the launch."""
        pids = [] if self.exited() else tree(self.pid)
        self.known.update(pids)
        return pids

    def kill_web_processes(self):
        """SIGKILL to the program's web processes, as the kernel's out-of-memory killer sends
        it; how many there were. Their name is longer than /proc's 15 characters: the
        command line says it."""
        killed = 0
        for pid in self.tree():
            with contextlib.suppress(OSError):
                with open(f"/proc/{pid}/cmdline", "rb") as file:
                    if os.path.basename(file.read().split(b"\0")[0]) == b"WebKitWebProcess":
                        os.kill(pid, signal.SIGKILL)
                        killed += 1
        if not killed:
            raise RuntimeError("the program has no web process")
        return killed

    def strays(self):
        """"NAME PID" of each live process with the program's home: its own, and any started
        on its behalf however detached (a bus daemon started for it is no descendant)."""
        found = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open(f"/proc/{pid}/environ", "rb") as file:
                    environment = file.read().split(b"\0")
                with open(f"/proc/{pid}/comm") as file:
                    name = file.read().strip()
            except OSError:
                continue
            if f"HOME={self.home}".encode() in environment and alive(pid):
                found.append(f"{name} {pid}")
        return found

    def stop(self):
        self.tree()
        with contextlib.suppress(ProcessLookupError):
            os.killpg(self.pid, signal.SIGTERM)
        if self.wait(5) is None:
            with contextlib.suppress(ProcessLookupError):
                os.killpg(self.pid, signal.SIGKILL)
            self.process.wait()
        self.known.update(int(stray.split()[1]) for stray in self.strays())
        if not wait_until(lambda: not any(map(alive, self.known)), 5, 0.02):
            for pid in filter(alive, self.known):
                with contextlib.suppress(ProcessLookupError):
                    os.kill(pid, signal.SIGKILL)
            wait_until(lambda: not any(map(alive, self.known)), 5, 0.02)
