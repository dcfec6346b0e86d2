"""How long a program's main thread stays busy at a stretch: while it runs, the window
draws nothing and takes no input.

A thread samples the main thread's run time (schedstat, in nanoseconds) every couple of
milliseconds. An interval in which the thread ran for at least BUSY_SHARE of the wall
time counts as busy; the longest run of busy intervals is the figure. Time the thread
waited for a core is not counted, so on a loaded machine the figure is a lower bound."""

import threading
import time

from .procfs import thread_run_nanoseconds

INTERVAL_SECONDS = 0.002
BUSY_SHARE = 0.9


class BusyMeter:
    def __init__(self, pid):
        self.pid = pid
        self.longest = 0.0
        self.stopping = threading.Event()
        self.thread = threading.Thread(target=self._sample, daemon=True)

    def start(self):
        self.thread.start()

    def stop(self):
        """The longest busy stretch seen, in milliseconds."""
        self.stopping.set()
        self.thread.join()
        return self.longest * 1000

    def _sample(self):
        wall, ran = time.monotonic_ns(), thread_run_nanoseconds(self.pid, self.pid)
        stretch = 0.0
        while not self.stopping.wait(INTERVAL_SECONDS) and ran is not None:
            now, running = time.monotonic_ns(), thread_run_nanoseconds(self.pid, self.pid)
            if running is None:
                break
            elapsed = now - wall
            if elapsed > 0 and running - ran >= BUSY_SHARE * elapsed:
                stretch += elapsed / 1e9
                self.longest = max(self.longest, stretch)
            else:
                stretch = 0.0
            wall, ran = now, running
