"""Runs every benchmark, or those named, and writes the table and the raw figures."""

import argparse
import datetime
import os
import shlex
import shutil
import sys
import tempfile
import time

from harness.desktop import start_desktop
from harness.service import ExamService

from . import guard, machine, programs, report
from .benchmarks import bridge, coldstart, downloads, idle, messages, save, soak, startup
from .context import Context
from .gate import Gate

BENCHMARKS = {"startup": startup, "coldstart": coldstart, "bridge": bridge, "downloads": downloads, "save": save,
              "messages": messages, "idle": idle, "soak": soak}



def options(arguments):
    parser = argparse.ArgumentParser(prog="bench/run.sh", description=__doc__)
    parser.add_argument("--build", required=True, help="build folder with tessaro-local and exam-service")
    parser.add_argument("--floor", required=True, help="the floor program")
    parser.add_argument("--soak-build", default=None,
                        help="build folder with the soak's tessaro-local (its battery reports closer together)")
    parser.add_argument("--out", required=True, help="folder for results.md, results.json and logs")
    parser.add_argument("--only", default=",".join(BENCHMARKS), help="comma-separated: " + ", ".join(BENCHMARKS))
    parser.add_argument("--lean", action="store_true", help="run both programs with " +
                        " ".join(f"{key}={value}" for key, value in programs.DRAWING_AS_TESSARO.items()))
    parser.add_argument("--env", action="append", default=[], metavar="KEY=VALUE",
                        help="set this in both programs' environment (repeatable)")
    parser.add_argument("--startup-runs", type=int, default=7)
    parser.add_argument("--cold-runs", type=int, default=5, help="cold starts a program (drops the page cache: root)")
    # A run's round trips move by up to 15 % from one launch to the next on a shared
    # virtual machine, so a 10 % goal needs more runs than the other figures.
    parser.add_argument("--round-trip-runs", type=int, default=10)
    parser.add_argument("--burst-runs", type=int, default=5)
    parser.add_argument("--round-trips", type=int, default=2000)
    parser.add_argument("--burst", type=int, default=10000)
    parser.add_argument("--download-runs", type=int, default=5)
    parser.add_argument("--download-bytes", type=int, default=1 << 30)
    parser.add_argument("--save-runs", type=int, default=5)
    parser.add_argument("--save-bytes", type=int, default=100_000_000)
    parser.add_argument("--message-runs", type=int, default=2)
    parser.add_argument("--message-bytes", type=int, default=200_000_000)
    parser.add_argument("--idle-runs", type=int, default=2)
    parser.add_argument("--idle-seconds", type=float, default=60)
    parser.add_argument("--idle-settle", type=float, default=5, help="seconds between load and measuring")
    parser.add_argument("--soak-runs", type=int, default=1)
    parser.add_argument("--soak-pages", type=int, default=200)
    parser.add_argument("--soak-round-trips", type=int, default=10000)
    parser.add_argument("--soak-commands", type=int, default=2000)
    parser.add_argument("--guard", default=None, metavar="FILE",
                        help="fail when a ratio passes its guard in this file (bench/guards.toml)")
    parser.add_argument("--command", default=None, help="the command line to record in the results")
    chosen = parser.parse_args(arguments)
    chosen.only = [name.strip() for name in chosen.only.split(",") if name.strip()]
    unknown = [name for name in chosen.only if name not in BENCHMARKS]
    if unknown:
        parser.error("unknown benchmark: " + ", ".join(unknown))
    if any("=" not in pair for pair in chosen.env):
        parser.error("--env takes KEY=VALUE")
    return chosen


def main(arguments):
    chosen = options(arguments)
    os.makedirs(chosen.out, exist_ok=True)
    logs = os.path.join(chosen.out, "logs")
    os.makedirs(logs, exist_ok=True)
    # The launches' homes in /tmp: the engine puts its bus proxy's sockets under the cache
    # folder, and a socket's path must stay short.
    work = tempfile.mkdtemp(prefix="tessaro-bench-")
    repository = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    engine_environment = dict(programs.DRAWING_AS_TESSARO) if chosen.lean else {}
    engine_environment.update(pair.split("=", 1) for pair in chosen.env)
    started = time.monotonic()
    results = {
        "started": datetime.datetime.now().astimezone().isoformat(timespec="seconds"),
        "command": chosen.command or " ".join(shlex.quote(argument) for argument in sys.argv),
        "machine": machine.facts(),
        "commit": machine.commit(repository),
        "loadAverageAtStart": machine.load_average(),
        "engineEnvironment": " ".join(f"{key}={value}" for key, value in engine_environment.items()),
        "options": {key: value for key, value in vars(chosen).items() if key != "command"},
        "benchmarks": {},
    }
    page = os.path.join(repository, "bench", "pages", "bench.html")
    service_binary = os.path.join(chosen.build, "tools", "exam-service", "exam-service")
    floor = os.path.abspath(chosen.floor)
    program_set = {"floor": programs.floor(floor), "drawing_floor": programs.drawing_floor(floor),
                   "delayed_drawing_floor": programs.delayed_drawing_floor(floor),
                   "tessaro": programs.tessaro(os.path.join(chosen.build, "tessaro-local")),
                   "soak_tessaro": programs.tessaro(os.path.join(chosen.soak_build or chosen.build, "tessaro-local"))}
    # The desktop's sockets in /tmp, as a socket's path must stay short.
    desktop_folder = tempfile.mkdtemp(prefix="tessaro-bench-desktop-")
    desktop = service = None
    try:
        desktop = start_desktop("x11", desktop_folder)
        service = ExamService(service_binary, logs, ["--launch-page", page])
        with Gate() as gate:
            context = Context(service, gate, desktop, program_set, work, engine_environment, chosen)
            for name in chosen.only:
                context.say(f"{name} ...")
                results["benchmarks"][name] = BENCHMARKS[name].run(context)
    finally:
        for part in (service, desktop):
            if part:
                part.close()
        shutil.rmtree(work, ignore_errors=True)
        shutil.rmtree(desktop_folder, ignore_errors=True)
        results["durationSeconds"] = time.monotonic() - started
        results["loadAverageAtEnd"] = machine.load_average()
        report.write(results, os.path.join(chosen.out, "results.md"), os.path.join(chosen.out, "results.json"))
    print(report.markdown(results))
    if chosen.guard:
        lines, passed = guard.check(results, guard.read(chosen.guard))
        print("\n".join(lines))
        return 0 if passed else 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
