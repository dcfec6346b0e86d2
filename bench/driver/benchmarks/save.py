"""Save: one "saveFile" of a large text, from the post to the "fileSaved" answer.

The page builds the text before it reports ready, so the peak that follows is what the
program needs to take the message and write it; the engine's web process, which holds
the text itself, is shown apart. The post waits until the program's processes are
quiet, for both programs, and only once as much memory as the main process may take
(the floor takes four times the content) has just been given back by the page cache
(see preparation.warm_page_cache): without it, whichever program found memory the page
cache had held for a while paid up to half a second more for the same save."""

import os

from ..peaks import PeakWatch
from ..preparation import settle, warm_page_cache
from ..rows import ratio_at_most, row

TIMEOUT = 300
WARM_TIMES_CONTENT = 4


def _save(context, program, size):
    with context.launch(program, f"save-{size}") as launch:
        context.wait_for("ready", launch, 120)
        quiet = settle(launch)
        os.sync()
        warm_page_cache(context.folder, WARM_TIMES_CONTENT * size)
        watch = PeakWatch(launch)
        watch.start()
        context.gate.open()
        report = context.wait_for("save", launch, TIMEOUT)
        memory = watch.stop()
        context.gate.open()
        written = os.path.getsize(launch.downloads("bench-save.txt"))
        launch.wait(10)
    if written != size:
        raise RuntimeError(f"{program.name} saved {written} bytes of {size}")
    web = [growth for process, growth in memory["processesPeakRssGrowthKiB"].items()
           if process.startswith("WebKitWebProces")]
    return dict(memory, ms=report["elapsed"], quietBefore=quiet, webProcessPeakRssGrowthKiB=max(web, default=None))


def run(context):
    size = context.options.save_bytes
    runs = {"floor": [], "tessaro": []}
    for index, order in context.alternating(context.options.save_runs, context.floor, context.tessaro):
        for program in order:
            result = _save(context, program, size)
            result["peakTimesContent"] = result["peakRssGrowthKiB"] * 1024 / size
            if result["webProcessPeakRssGrowthKiB"] is not None:
                result["webProcessPeakTimesContent"] = result["webProcessPeakRssGrowthKiB"] * 1024 / size
            runs[program.name].append(result)
            context.say(f"save {index + 1} {program.name}: {result['ms']:.0f} ms, "
                        f"peak {result['peakTimesContent']:.2f} x content")
    ours, floor = runs["tessaro"], runs["floor"]
    label = f"{size / 1e6:.0f} MB"
    duration = row(f"save: {label} of text, post -> fileSaved", "ms",
                   [run["ms"] for run in ours], "floor", [run["ms"] for run in floor], "<= 1.3 x floor", None)
    duration["met"] = ratio_at_most(duration, 1.3)
    peak = [run["peakTimesContent"] for run in ours]
    memory = row("save: peak memory growth of the main process (VmHWM) / content", "x content",
                 peak, "floor", [run["peakTimesContent"] for run in floor], "<= 3.5 x content", max(peak) <= 3.5)
    web = row("save: peak memory growth of the web process / content", "x content",
              [run.get("webProcessPeakTimesContent") for run in ours], "floor",
              [run.get("webProcessPeakTimesContent") for run in floor], "(shown)", None)
    return {"runs": runs, "rows": [duration, memory, web]}
