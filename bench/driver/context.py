"""What every benchmark needs: the service, the desktop, the two programs, the options."""

import sys
import time

from .programs import Launch


class Context:
    def __init__(self, service, gate, desktop, programs, folder, engine_environment, options):
        self.service = service
        self.gate = gate
        self.desktop = desktop
        self.floor = programs["floor"]
        self.delayed_floor = programs["delayed_floor"]
        self.tessaro = programs["tessaro"]
        self.folder = folder
        self.engine_environment = engine_environment
        self.options = options
        self.started = time.monotonic()

    def launch(self, program, mode):
        self.service.forget_reports()
        self.gate.opened.clear()
        return Launch(program, mode, self.desktop.environment, self.folder, self.engine_environment)

    def alternating(self, runs, *programs):
        """The programs run by turns, each round starting with the next one, so none
        always runs right after the same other."""
        for index in range(runs):
            shift = index % len(programs)
            yield index, programs[shift:] + programs[:shift]

    def say(self, text):
        print(f"[{time.monotonic() - self.started:6.1f} s] {text}", file=sys.stderr, flush=True)
