"""Bringing the machine to the same state before each measured step, whichever program."""

import os
import time

from . import procfs

CHUNK = 64 << 20


def _cpu(pids):
    return sum(sum(procfs.thread_cpu_seconds(pid).values()) for pid in pids)


def settle(launch, share=0.05, window=0.5, timeout=15):
    """Waits until the program's processes together use less than this share of a core:
    what the engine still does after the load (compiling its shaders in software, say)
    must not land in the measured step. False when they never got that quiet."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        pids = launch.tree()
        before = _cpu(pids)
        time.sleep(window)
        if (_cpu(pids) - before) / window < share:
            return True
    return False


def warm_page_cache(folder, size):
    """Writes a file of this size into the folder and deletes it, just before a step
    that writes as much.

    This machine is a virtual one, and memory the page cache has not used for a few
    seconds is slow to take again: writing 1 GiB there took 3.5 s after a pause and 0.3 s
    right after another 1 GiB file was deleted (warming plain memory instead did not
    help). Without this, whichever came second after a deletion won: curl, run right after
    Tessaro's file went, against Tessaro, which starts a few seconds into its launch."""
    path = os.path.join(folder, "warm-page-cache.bin")
    chunk = b"\x01" * CHUNK
    with open(path, "wb") as file:
        for offset in range(0, size, CHUNK):
            file.write(chunk[:min(CHUNK, size - offset)])
    os.remove(path)
