"""Idle: the exam page open and nothing happening.

CPU is the time on a CPU of every thread of every process of the program (WebKit's
helpers and their bwrap parents included) over the window, per thread to the
nanosecond; the kernel's tick count, which also keeps ended threads, is kept beside it.
Memory is the processes' PSS summed, sampled through the window, its median taken.
PSS shares a library's pages among all processes that map it, other programs on the
machine included, so it moves with whatever else runs; anonymous memory does not, and
is shown beside it."""

import statistics
import time

from .. import procfs
from ..cpumeter import CpuMeter
from ..rows import row

SAMPLE_SECONDS = 5


def _measure(context, program):
    with context.launch(program, "idle") as launch:
        context.wait_for("ready", launch, 60)
        time.sleep(context.options.idle_settle)
        meter = CpuMeter(launch)
        meter.start()
        ticks_before = {pid: procfs.cpu_seconds(pid) for pid in launch.tree()}
        samples = []
        started = time.monotonic()
        while (left := context.options.idle_seconds - (time.monotonic() - started)) > 0:
            time.sleep(min(SAMPLE_SECONDS, left))
            sample = {}
            for pid in launch.tree():
                memory = procfs.memory_kib(pid)
                if memory is not None:
                    sample[pid] = (procfs.name(pid),) + memory
            samples.append(sample)
        elapsed = time.monotonic() - started
        cpu = meter.stop()
        pids = launch.tree()
        ticks_after = {pid: procfs.cpu_seconds(pid) for pid in pids}
    ticks = sum(ticks_after[pid] - ticks_before.get(pid, 0) for pid in pids if ticks_after[pid] is not None)
    pss_totals = [sum(pss for _, pss, _ in sample.values()) for sample in samples]
    anonymous_totals = [sum(anonymous for _, _, anonymous in sample.values()) for sample in samples]
    pss_breakdown, anonymous_breakdown = {}, {}
    for name, pss, anonymous in samples[-1].values():
        pss_breakdown[name] = pss_breakdown.get(name, 0) + pss / 1024
        anonymous_breakdown[name] = anonymous_breakdown.get(name, 0) + anonymous / 1024
    return {
        "cpuPercent": 100 * cpu["total"] / elapsed,
        "cpuPercentFromTicks": 100 * ticks / elapsed,
        "seconds": elapsed,
        "pssMiB": statistics.median(pss_totals) / 1024,
        "anonymousMiB": statistics.median(anonymous_totals) / 1024,
        "pssSamplesMiB": [total / 1024 for total in pss_totals],
        "processes": len(pids),
        "pssByProcessMiB": dict(sorted(pss_breakdown.items())),
        "anonymousByProcessMiB": dict(sorted(anonymous_breakdown.items())),
        "cpuByProcessSeconds": cpu["byProcess"],
    }


def _within(ours, theirs, factor):
    """ours <= factor x theirs, where a reference of zero leaves nothing to exceed."""
    return ours <= factor * theirs if theirs > 0 else ours == 0


def run(context):
    runs = {"floor": [], "tessaro": []}
    for index, order in context.alternating(context.options.idle_runs, context.floor, context.tessaro):
        for program in order:
            result = _measure(context, program)
            runs[program.name].append(result)
            context.say(f"idle {index + 1} {program.name}: {result['cpuPercent']:.3f} % CPU, "
                        f"{result['pssMiB']:.0f} MiB PSS in {result['processes']} processes")
    ours, floor = runs["tessaro"], runs["floor"]
    seconds = context.options.idle_seconds
    cpu = row(f"idle: CPU over {seconds:.0f} s, all processes", "% of a core",
              [run["cpuPercent"] for run in ours], "floor", [run["cpuPercent"] for run in floor],
              "<= 1.1 x floor and < 1 %", None)
    cpu["met"] = _within(cpu["tessaro"]["median"], cpu["reference_values"]["median"], 1.1) \
        and cpu["tessaro"]["max"] < 1.0
    memory = row("idle: memory, PSS of all processes", "MiB",
                 [run["pssMiB"] for run in ours], "floor", [run["pssMiB"] for run in floor],
                 "<= 0.8 x floor", None)
    memory["met"] = _within(memory["tessaro"]["median"], memory["reference_values"]["median"], 0.8)
    private = row("idle: memory, anonymous memory of all processes", "MiB",
                  [run["anonymousMiB"] for run in ours], "floor", [run["anonymousMiB"] for run in floor],
                  "(shown)", None)
    return {"runs": runs, "rows": [cpu, memory, private]}
