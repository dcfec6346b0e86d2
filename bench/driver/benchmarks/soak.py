"""Soak: a three-hour exam played in minutes, and the memory of every process of each
program sampled throughout.

Both programs go through the same question pages (text, a form, a figure), each page
making its share of the "security" round trips and "processes" commands and every tenth
saving 20 to 200 KB of answers; Tessaro, built for the soak, also reports the battery
level every half second where the exam's 30 s would give about one report a page. Growth
is the median PSS of the last tenth of the samples from the first question page on
against that of the first tenth: the first tenth is the warm-up every later figure is
held to."""

import os
import statistics
import threading
import time

from .. import procfs
from ..rows import row

SAMPLE_SECONDS = 1.0
# Seconds a page may take on average before the run counts as stuck.
PAGE_TIMEOUT = 10
GROWTH_GOAL_PERCENT = 10


class PssSampler:
    """The PSS of every process of a launch, summed, once a second."""

    def __init__(self, launch):
        self.launch = launch
        self.samples = []
        self.stopping = threading.Event()
        self.thread = threading.Thread(target=self._sample, daemon=True)
        self.started = time.monotonic()

    def start(self):
        self.thread.start()

    def _sample(self):
        while not self.stopping.wait(SAMPLE_SECONDS):
            by_process, anonymous = {}, 0
            for pid in self.launch.tree():
                memory = procfs.memory_kib(pid)
                if memory is not None:
                    name = procfs.name(pid)
                    by_process[name] = by_process.get(name, 0) + memory[0]
                    anonymous += memory[1]
            if by_process:
                self.samples.append({"seconds": time.monotonic() - self.started,
                                     "pssMiB": sum(by_process.values()) / 1024,
                                     "anonymousMiB": anonymous / 1024,
                                     "byProcessMiB": {name: kib / 1024 for name, kib in by_process.items()}})

    def stop(self):
        self.stopping.set()
        self.thread.join()
        return self.samples


def growth(samples, key="pssMiB"):
    """The median of the last tenth against the first tenth's, in per cent."""
    tenth = max(1, len(samples) // 10)
    first = statistics.median(sample[key] for sample in samples[:tenth])
    last = statistics.median(sample[key] for sample in samples[-tenth:])
    return {"firstTenthMiB": first, "lastTenthMiB": last, "growthPercent": 100 * (last - first) / first}


def _soak(context, program):
    options = context.options
    pages = options.soak_pages
    trips = -(-options.soak_round_trips // pages)
    commands = -(-options.soak_commands // pages)
    with context.launch(program, f"soak-0-{pages}-{trips}-{commands}") as launch:
        sampler = PssSampler(launch)
        sampler.start()
        context.wait_for("soakStart", launch, 60)
        first_page = len(sampler.samples)
        context.wait_for("soak", launch, PAGE_TIMEOUT * pages)
        samples = sampler.stop()
        launch.wait(10)
    # Start-up is no part of the exam: growth counts from the first question page on.
    anonymous = growth(samples[first_page:], "anonymousMiB")
    return dict(growth(samples[first_page:]), anonymousGrowthPercent=anonymous["growthPercent"], pages=pages, roundTrips=trips * pages, commands=commands * pages,
                seconds=samples[-1]["seconds"] if samples else 0, firstPageSample=first_page, samples=samples)


def _plot(runs, path):
    import matplotlib
    matplotlib.use("Agg")
    from matplotlib import pyplot

    figure, axes = pyplot.subplots(figsize=(10, 5))
    for name, results in runs.items():
        for index, result in enumerate(results):
            seconds = [sample["seconds"] for sample in result["samples"]]
            line, = axes.plot(seconds, [sample["pssMiB"] for sample in result["samples"]],
                              label=f"{name} PSS (run {index + 1}, growth {result['growthPercent']:+.1f} %)")
            axes.plot(seconds, [sample["anonymousMiB"] for sample in result["samples"]], linestyle="--",
                      color=line.get_color(), label=f"{name} anonymous (growth "
                      f"{result['anonymousGrowthPercent']:+.1f} %)")
    axes.set_xlabel("seconds since start")
    axes.set_ylabel("memory of all processes (MiB)")
    axes.set_ylim(bottom=0)
    axes.set_title(f"Soak: {results[0]['pages']} question pages, {results[0]['roundTrips']} security "
                   f"round trips, {results[0]['commands']} processes commands")
    axes.grid(True, alpha=0.3)
    axes.legend(loc="lower right")
    figure.tight_layout()
    figure.savefig(path, dpi=100)
    pyplot.close(figure)


def run(context):
    soak_tessaro = context.soak_tessaro
    runs = {"floor": [], "tessaro": []}
    for index, order in context.alternating(context.options.soak_runs, context.floor, soak_tessaro):
        for program in order:
            result = _soak(context, program)
            runs[program.name].append(result)
            context.say(f"soak {index + 1} {program.name}: {result['firstTenthMiB']:.0f} -> "
                        f"{result['lastTenthMiB']:.0f} MiB PSS ({result['growthPercent']:+.1f} %) "
                        f"over {result['pages']} pages in {result['seconds']:.0f} s")
    plot = os.path.join(context.options.out, "soak.png")
    _plot(runs, plot)
    ours, floor = runs["tessaro"], runs["floor"]
    ours_growth = [run["growthPercent"] for run in ours]
    floor_growth = [run["growthPercent"] for run in floor]
    goal = row("soak: PSS growth of all processes, last tenth against first tenth", "%", ours_growth, "floor",
               floor_growth, f"<= {GROWTH_GOAL_PERCENT} % and <= floor", None, f"plot: {plot}")
    # Growths in per cent are compared by difference, not by ratio.
    goal["ratio"] = goal["pair_ratios"] = None
    # A floor that shrinks after its warm-up has not grown: Tessaro is then held to no growth.
    goal["met"] = (goal["tessaro"]["max"] <= GROWTH_GOAL_PERCENT
                   and goal["tessaro"]["median"] <= max(goal["reference_values"]["median"], 0))
    first = row("soak: PSS of all processes, first tenth", "MiB", [run["firstTenthMiB"] for run in ours],
                "floor", [run["firstTenthMiB"] for run in floor], "(shown)", None)
    last = row("soak: PSS of all processes, last tenth", "MiB", [run["lastTenthMiB"] for run in ours],
               "floor", [run["lastTenthMiB"] for run in floor], "(shown)", None)
    # PSS moves when other programs on the machine map the same libraries; anonymous
    # memory is the processes' own.
    anonymous = row("soak: anonymous memory growth of all processes, last tenth against first tenth", "%",
                    [run["anonymousGrowthPercent"] for run in ours], "floor",
                    [run["anonymousGrowthPercent"] for run in floor], "(shown)", None)
    anonymous["ratio"] = anonymous["pair_ratios"] = None
    return {"runs": runs, "rows": [goal, anonymous, first, last], "plot": plot}
