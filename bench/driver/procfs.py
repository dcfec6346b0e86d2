"""What /proc tells about a program and the helper processes it started."""

import os

from harness.launch import stat

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def _read(path):
    try:
        with open(path, "rb") as file:
            return file.read().decode("utf-8", "replace")
    except (FileNotFoundError, ProcessLookupError, PermissionError):
        return None


def _status_kib(pid, key):
    text = _read(f"/proc/{pid}/status")
    if text is None:
        return None
    for line in text.splitlines():
        if line.startswith(key + ":"):
            return int(line.split()[1])
    return None


def name(pid):
    text = _read(f"/proc/{pid}/comm")
    return text.strip() if text else "?"


def thread_cpu_seconds(pid):
    """Each thread's time on a CPU, to the nanosecond (the scheduler's own account;
    /proc/PID/stat counts in ticks of 10 ms, too coarse for an idle process)."""
    try:
        threads = os.listdir(f"/proc/{pid}/task")
    except (FileNotFoundError, ProcessLookupError):
        return {}
    times = {}
    for thread in threads:
        nanoseconds = thread_run_nanoseconds(pid, thread)
        if nanoseconds is not None:
            times[int(thread)] = nanoseconds / 1e9
    return times


def thread_run_nanoseconds(pid, thread):
    """The thread's time on a CPU so far, or None once it is gone."""
    text = _read(f"/proc/{pid}/task/{thread}/schedstat")
    return int(text.split()[0]) if text else None


def cpu_seconds(pid):
    """User and system time of every thread the process ever had, ended ones included,
    in ticks of the kernel's clock."""
    fields = stat(pid)
    if fields is None:
        return None
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def _rollup(pid):
    text = _read(f"/proc/{pid}/smaps_rollup")
    if text is None:
        return None
    fields = {}
    for line in text.splitlines()[1:]:
        parts = line.split()
        if len(parts) >= 2 and parts[1].isdigit():
            fields[parts[0].rstrip(":")] = int(parts[1])
    return fields


def pss_kib(pid):
    """Proportional set size: a page shared by n processes counts 1/n in each."""
    fields = _rollup(pid)
    return fields.get("Pss") if fields else None


def memory_kib(pid):
    """PSS, and anonymous memory (heaps, stacks, the engine's buffers). A library's pages
    count in PSS by how many processes map them, other programs on the machine included,
    and in USS when no other does: both move with whatever else runs. Anonymous memory
    is the process's own."""
    fields = _rollup(pid)
    if not fields or "Pss" not in fields:
        return None
    return fields["Pss"], fields.get("Anonymous", 0)


def rss_kib(pid):
    return _status_kib(pid, "VmRSS")


def peak_rss_kib(pid):
    return _status_kib(pid, "VmHWM")


def reset_peak(pid):
    """Starts the process's peak RSS (VmHWM) afresh from its current RSS."""
    try:
        with open(f"/proc/{pid}/clear_refs", "w") as file:
            file.write("5")
        return True
    except OSError:
        return False
