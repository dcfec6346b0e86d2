"""The two programs under comparison, and one launch of either in a fresh home."""

import os
import shutil
import signal
import subprocess
import tempfile
import time

from . import procfs

LAUNCH_PAGE = "http://127.0.0.1:18765/native-launch?examkey="


class Program:
    def __init__(self, name, command_for, load_delay):
        self.name = name
        self.command = command_for
        # Tessaro asks the service for its status document a second after start and only
        # then loads the exam; start-up figures leave that wait out.
        self.load_delay = load_delay


def tessaro(binary):
    return Program("tessaro", lambda mode: [binary, "tessaro://launch/" + mode], 1.0)


def floor(binary):
    return Program("floor", lambda mode: [binary, LAUNCH_PAGE + mode], 0.0)


def delayed_floor(binary):
    """The floor loading the page as late as Tessaro does: what the program did in its
    first second, it did while nothing waited for it, in both."""
    return Program("floor, load at 1 s", lambda mode: [binary, LAUNCH_PAGE + mode, "1000"], 1.0)


def _alive(pid):
    # A zombie has ended; whether its parent ever reaps it is not ours to wait for.
    return procfs.state(pid) not in (None, "Z", "X")


class Launch:
    """One run of a program: a fresh home with a Downloads folder, the desktop's
    environment, and every process it started gone again at the end."""

    def __init__(self, program, mode, desktop_environment, folder, engine_environment):
        self.program = program
        self.mode = mode
        self.folder = folder
        self.environment = dict(os.environ)
        self.environment.pop("WAYLAND_DISPLAY", None)
        self.environment.update(desktop_environment)
        self.environment.update(engine_environment)
        self.environment["GDK_BACKEND"] = "x11"
        self.home = None
        self.process = None
        self.spawned_ms = None
        self.known = set()

    def __enter__(self):
        self.home = tempfile.mkdtemp(prefix=f"{self.program.name}-{self.mode}-", dir=self.folder)
        for sub in ("Downloads", "tmp", "config", "cache", "data"):
            os.mkdir(os.path.join(self.home, sub))
        self.environment.update({
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, "config"),
            "XDG_CACHE_HOME": os.path.join(self.home, "cache"),
            "XDG_DATA_HOME": os.path.join(self.home, "data"),
            # Tessaro keeps a download's body here until it is complete; on the same file
            # system as Downloads it then only changes its name, as curl -o writes in place.
            "TMPDIR": os.path.join(self.home, "tmp"),
        })
        output = open(os.path.join(self.home, "output.log"), "wb")
        self.spawned_ms = time.time_ns() / 1e6
        self.process = subprocess.Popen(self.program.command(self.mode), env=self.environment,
                                        stdout=output, stderr=subprocess.STDOUT, start_new_session=True)
        output.close()
        self.known.add(self.process.pid)
        return self

    def __exit__(self, *exception):
        self.stop()
        shutil.rmtree(self.home, ignore_errors=True)

    @property
    def pid(self):
        return self.process.pid

    def downloads(self, name):
        return os.path.join(self.home, "Downloads", name)

    def output(self):
        with open(os.path.join(self.home, "output.log"), "rb") as log:
            return log.read().decode("utf-8", "replace")

    def exited(self):
        return self.process.poll() is not None

    def tree(self):
        """The program's processes now; remembered, so none outlives the launch."""
        pids = procfs.tree(self.pid) if not self.exited() else []
        self.known.update(pids)
        return pids

    def wait(self, timeout):
        try:
            self.process.wait(timeout=timeout)
            return True
        except subprocess.TimeoutExpired:
            return False

    def stop(self):
        """Ends the program if it still runs and waits until its helpers are gone too, so
        the next launch has the machine to itself."""
        self.tree()
        if not self.exited():
            try:
                os.killpg(self.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            if not self.wait(5):
                os.killpg(self.pid, signal.SIGKILL)
                self.process.wait()
        deadline = time.monotonic() + 5
        while any(_alive(pid) for pid in self.known) and time.monotonic() < deadline:
            time.sleep(0.02)
        for pid in self.known:
            if _alive(pid):
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
        while any(_alive(pid) for pid in self.known):
            time.sleep(0.02)
