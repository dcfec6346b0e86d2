"""What every benchmark needs: the service, the desktop, the programs, the options, and
the launch of a program with the harness of the end-to-end tests."""

import sys
import time

from harness.launch import Launch


class BenchError(RuntimeError):
    pass


class Context:
    def __init__(self, service, gate, desktop, programs, folder, engine_environment, options):
        self.service = service
        self.gate = gate
        self.desktop = desktop
        self.floor = programs["floor"]
        self.drawing_floor = programs["drawing_floor"]
        self.delayed_drawing_floor = programs["delayed_drawing_floor"]
        self.tessaro = programs["tessaro"]
        self.soak_tessaro = programs["soak_tessaro"]
        self.folder = folder
        self.engine_environment = engine_environment
        self.options = options
        self.started = time.monotonic()
        self.seen = 0
        self.pending = []

    def launch(self, program, mode):
        """A run of the program in a fresh home on the desktop, with a session bus; what
        earlier launches reported is forgotten."""
        self.seen = len(self.service.reports())
        self.pending.clear()
        self.gate.opened.clear()
        launch = Launch(program.command(mode), self.desktop, self.folder,
                        dict(self.engine_environment, **program.environment), bus=True)
        launch.program = program
        return launch

    def wait_for(self, kind, launch, timeout):
        """The launch's next report of this kind; an error when it ends or time runs out first."""
        deadline = time.monotonic() + timeout
        next_look = time.monotonic() + 1
        while True:
            # Looked at before the reports, so a report sent just before the end is still found.
            ended = launch.exited()
            reports = self.service.reports()
            self.pending += reports[self.seen:]
            self.seen = len(reports)
            for index, report in enumerate(self.pending):
                if report.get("kind") == kind:
                    return self.pending.pop(index)
            problem = None
            if time.monotonic() > next_look:
                next_look += 1
                # A modal alert (Tessaro's, when a blocked application runs on the machine)
                # stops the program until someone answers it; nobody will.
                if "GtkDialog mapped" in launch.output() + launch.output("errors"):
                    problem = "shows an alert instead of the page"
            if ended:
                problem = f"ended before reporting {kind!r}"
            elif time.monotonic() > deadline:
                problem = f"reported no {kind!r} within {timeout} s"
            if problem:
                raise BenchError(f"{launch.program.name} {problem}; it wrote:\n" + launch.output()[-2000:]
                                 + launch.output("errors")[-2000:])
            time.sleep(0.005)

    def alternating(self, runs, *programs):
        """The programs run by turns, each round starting with the next one, so none
        always runs right after the same other."""
        for index in range(runs):
            shift = index % len(programs)
            yield index, programs[shift:] + programs[:shift]

    def say(self, text):
        print(f"[{time.monotonic() - self.started:6.1f} s] {text}", file=sys.stderr, flush=True)
