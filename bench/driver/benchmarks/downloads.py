"""Downloads: one large body from the loopback service, by Tessaro and by curl -o.

Tessaro is timed in the page from the "download" post to the "downloaded" answer; curl
by its own total time. Both write into a Downloads folder on the same disk. Before each
the disk's dirty pages are flushed, so neither pays for the other's writes, and as much
page cache as the file will take is warmed (see preparation.warm_page_cache);
Tessaro's download starts only once its processes are quiet after the load."""

import os
import subprocess

from ..peaks import PeakWatch
from ..preparation import settle, warm_page_cache
from ..rows import ratio_at_least, row

TIMEOUT = 600
MIB = 1024 * 1024
WARM_EXTRA = 256 * MIB


def _tessaro(context, size):
    with context.launch(context.tessaro, f"download-{size}") as launch:
        context.wait_for("ready", launch, 60)
        quiet = settle(launch)
        os.sync()
        warm_page_cache(context.folder, size + WARM_EXTRA)
        watch = PeakWatch(launch)
        watch.start()
        context.gate.open()
        report = context.wait_for("download", launch, TIMEOUT)
        memory = watch.stop()
        context.gate.open()
        written = os.path.getsize(launch.downloads("bench-download.bin"))
        launch.wait(10)
    if written != size:
        raise RuntimeError(f"Tessaro saved {written} bytes of {size}")
    return dict(memory, seconds=report["elapsed"] / 1000, quietBefore=quiet)


def _curl(context, size):
    target = os.path.join(context.folder, "curl-download.bin")
    os.sync()
    warm_page_cache(context.folder, size + WARM_EXTRA)
    try:
        result = subprocess.run(
            ["curl", "--silent", "--show-error", "--fail", "--output", target, "--write-out", "%{time_total}",
             f"http://127.0.0.1:18765/files/large.bin?bytes={size}"],
            capture_output=True, text=True, check=True)
        written = os.path.getsize(target)
    finally:
        if os.path.exists(target):
            os.remove(target)
    if written != size:
        raise RuntimeError(f"curl saved {written} bytes of {size}")
    return {"seconds": float(result.stdout)}


def run(context):
    size = context.options.download_bytes
    runs = {"tessaro": [], "curl": []}
    for index, order in context.alternating(context.options.download_runs, "tessaro", "curl"):
        for name in order:
            result = _tessaro(context, size) if name == "tessaro" else _curl(context, size)
            result["MiBps"] = size / MIB / result["seconds"]
            runs[name].append(result)
            context.say(f"download {index + 1} {name}: {result['MiBps']:.0f} MiB/s")
    ours, curl = runs["tessaro"], runs["curl"]
    throughput = row(f"downloads: {size / MIB:.0f} MiB from loopback, throughput", "MiB/s",
                     [run["MiBps"] for run in ours], "curl -o", [run["MiBps"] for run in curl],
                     ">= 0.9 x curl", None)
    throughput["met"] = ratio_at_least(throughput, 0.9)
    growth = [run["peakRssGrowthKiB"] / 1024 for run in ours]
    memory = row("downloads: peak memory growth of the Tessaro process (VmHWM)", "MiB",
                 growth, None, None, "<= 16 MiB", max(growth) <= 16,
                 "anonymous memory sampled every 0.25 s grew %.1f MiB at most"
                 % max(run["sampledAnonymousGrowthKiB"] / 1024 for run in ours))
    return {"runs": runs, "rows": [throughput, memory]}
