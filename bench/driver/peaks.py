"""Peak memory of a program's processes over one operation."""

import threading

from . import procfs


class PeakWatch:
    """Starts every process's peak RSS afresh (VmHWM after clear_refs), so the peak read
    at the end is exact however briefly it lasted. The main process's anonymous memory
    is sampled beside it; its PSS is not, as that moves whenever another process on the
    machine maps or drops the same libraries."""

    def __init__(self, launch, interval=0.25):
        self.launch = launch
        self.interval = interval
        self.baseline = {}
        self.names = {}
        self.anonymous_start = None
        self.anonymous_peak = None
        self.stopping = threading.Event()
        self.thread = None

    def start(self):
        for pid in self.launch.tree():
            self.baseline[pid] = procfs.rss_kib(pid)
            self.names[pid] = procfs.name(pid)
            procfs.reset_peak(pid)
        self.anonymous_start = self.anonymous_peak = self._anonymous()
        self.thread = threading.Thread(target=self._sample, daemon=True)
        self.thread.start()

    def _anonymous(self):
        memory = procfs.memory_kib(self.launch.pid)
        return memory[1] if memory else 0

    def _sample(self):
        while not self.stopping.wait(self.interval):
            self.anonymous_peak = max(self.anonymous_peak, self._anonymous())

    def stop(self):
        """Growth above the start in KiB: the main process's, and each process's by name."""
        self.stopping.set()
        self.thread.join()
        processes = {}
        for pid, before in self.baseline.items():
            peak = procfs.peak_rss_kib(pid)
            if peak is not None and before is not None:
                processes[f"{self.names[pid]}[{pid}]"] = peak - before
        main = f"{self.names[self.launch.pid]}[{self.launch.pid}]"
        return {
            "peakRssGrowthKiB": processes.get(main),
            "sampledAnonymousGrowthKiB": self.anonymous_peak - self.anonymous_start,
            "processesPeakRssGrowthKiB": processes,
        }
