"""Helper processes in sessions of their own, every one ended when their owner closes."""

import contextlib
import os
import signal
import subprocess
import time


def wait_until(probe, timeout, step=0.05):
    """The probe's first true answer within the timeout, or its last answer."""
    deadline = time.monotonic() + timeout
    while not (answer := probe()) and time.monotonic() < deadline:
        time.sleep(step)
    return answer


class Processes:
    def __init__(self, folder):
        self.folder = folder
        self.started = []

    def start(self, argv, name, environment=None, stdout=None):
        """Starts the command, its standard error (and output, unless asked for) in NAME.log."""
        with open(os.path.join(self.folder, name + ".log"), "ab") as log:
            process = subprocess.Popen(argv, env=environment, stdin=subprocess.DEVNULL, stdout=stdout or log,
                                       stderr=log, start_new_session=True)
        self.started.append(process)
        return process

    def close(self):
        for process in reversed(self.started):
            with contextlib.suppress(ProcessLookupError):
                os.killpg(process.pid, signal.SIGKILL)
            process.wait()
        self.started.clear()
