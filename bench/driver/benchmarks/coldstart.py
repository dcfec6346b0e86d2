"""Cold start: start-up as startup.py times it, with the page cache dropped before each
launch, as on the first start after the machine was switched on.

Each launch is preceded by `sync` and `echo 3 > /proc/sys/vm/drop_caches` (root), so the
program, its libraries, the engine's helpers and their data are read from the disk again.
Tessaro is held to the floor drawing as it draws; its figure leaves out the 1 s before
the status request, as start-up's does, and the whole wait is shown beside it. One more
cold launch of Tessaro runs under `perf record`, and where its processes spent their CPU
time (by process and library) is kept with the results; the rest of a cold start is
waiting for the disk, the difference between the cold and the warm figure."""

import os
import shutil
import subprocess

from ..programs import Program
from ..rows import ratio_at_most, row

TIMEOUT = 120
DROP_CACHES = "/proc/sys/vm/drop_caches"


def drop_page_cache():
    os.sync()
    with open(DROP_CACHES, "w") as file:
        file.write("3\n")


def _start(context, program):
    drop_page_cache()
    with context.launch(program, "startup") as launch:
        report = context.wait_for("startup", launch, TIMEOUT)
        launch.wait(30)
    total = report["finishedAt"] - launch.spawned_ms
    return {"totalMs": total, "startupMs": total - program.load_delay * 1000}


def _profile(context):
    """Where a cold start's CPU time goes, by process and library, from perf."""
    if not shutil.which("perf"):
        return None, "perf is not installed (Debian: linux-perf)"
    data = os.path.join(context.options.out, "coldstart-perf.data")
    tessaro = context.tessaro
    recorded = Program("tessaro under perf", lambda mode: ["perf", "record", "-q", "-g", "-F", "999", "-o", data,
                                                           "--"] + tessaro.command(mode), tessaro.load_delay)
    result = _start(context, recorded)
    summary = subprocess.run(["perf", "report", "-i", data, "--stdio", "--no-children", "--sort", "comm,dso",
                              "--percent-limit", "1.5", "-g", "none"],
                             capture_output=True, text=True, timeout=300).stdout
    path = os.path.join(context.options.out, "coldstart-perf.txt")
    with open(path, "w") as file:
        file.write(summary)
    return result, path


def run(context):
    programs = (context.tessaro, context.drawing_floor)
    runs = {program.name: [] for program in programs}
    for index, order in context.alternating(context.options.cold_runs, *programs):
        for program in order:
            result = _start(context, program)
            runs[program.name].append(result)
            context.say(f"cold start {index + 1} {program.name}: {result['startupMs']:.0f} ms "
                        f"({result['totalMs']:.0f} ms in all)")
    profiled, profile = _profile(context)
    ours = runs[context.tessaro.name]
    floor = runs[context.drawing_floor.name]
    goal = row("cold start: start -> launch page loaded, page cache dropped (Tessaro less its 1 s status wait)",
               "ms", [run["startupMs"] for run in ours], context.drawing_floor.name,
               [run["startupMs"] for run in floor], "<= 1.10 x floor", None, f"profile: {profile}")
    goal["met"] = ratio_at_most(goal, 1.10)
    waited = row("cold start: what the student waits, start -> launch page loaded, status wait included", "ms",
                 [run["totalMs"] for run in ours], context.drawing_floor.name,
                 [run["totalMs"] for run in floor], "(shown)", None)
    return {"runs": runs, "profiledRun": profiled, "profile": profile, "rows": [goal, waited]}
