"""The desktop both programs run on: an X server, a window manager and a session bus."""

import os
import shutil
import subprocess
import tempfile
import time


class DesktopError(RuntimeError):
    pass


class Desktop:
    """Xvfb at the brief's 1280x800, openbox so full screen really happens, and a private
    session bus, as a student's desktop would have one."""

    def __init__(self, folder):
        self.folder = folder
        self.processes = []
        self.environment = {}
        # The session bus starts the accessibility bus on demand, which puts its socket
        # under the home or runtime folder: ours, not one another session may share. In
        # /tmp, as a socket's path must stay short.
        self.home = tempfile.mkdtemp(prefix="tessaro-bench-desktop-")
        os.mkdir(os.path.join(self.home, "runtime"), mode=0o700)

    def __enter__(self):
        try:
            self._start_x()
            self._start_window_manager()
            self._start_session_bus()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exception):
        self.close()

    def _log(self, name):
        return open(os.path.join(self.folder, name + ".log"), "wb")

    def _start_x(self):
        read, write = os.pipe()
        with self._log("xvfb") as log:
            self.processes.append(subprocess.Popen(
                ["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                pass_fds=[write], stdout=log, stderr=subprocess.STDOUT, start_new_session=True))
        os.close(write)
        with os.fdopen(read) as display:
            number = display.readline().strip()
        if not number:
            raise DesktopError("Xvfb did not start; see xvfb.log")
        self.environment["DISPLAY"] = ":" + number

    def _start_window_manager(self):
        environment = dict(os.environ, **self.environment)
        with self._log("openbox") as log:
            self.processes.append(subprocess.Popen(
                ["openbox", "--sm-disable", "--config-file", "/dev/null"],
                env=environment, stdout=log, stderr=subprocess.STDOUT, start_new_session=True))
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            check = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=environment,
                                   capture_output=True, text=True)
            if "window id" in check.stdout:
                return
            time.sleep(0.1)
        raise DesktopError("openbox did not take the screen within 10 s")

    def _start_session_bus(self):
        environment = dict(os.environ, **self.environment, HOME=self.home,
                           XDG_RUNTIME_DIR=os.path.join(self.home, "runtime"))
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                               env=environment, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                               start_new_session=True)
        self.processes.append(bus)
        address = bus.stdout.readline().strip()
        if not address:
            raise DesktopError("dbus-daemon gave no address")
        self.environment["DBUS_SESSION_BUS_ADDRESS"] = address

    def close(self):
        for process in reversed(self.processes):
            process.terminate()
        for process in reversed(self.processes):
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        self.processes.clear()
        shutil.rmtree(self.home, ignore_errors=True)
