"""The end-to-end tests' end of the harness: one desktop, the exam service and the
program under test for as long as standard input stays open, driven by one JSON request
a line, each answered by one line {"ok": RESULT} or {"error": TEXT}.

    python3 -m harness X11|Sway|Mutter|KWin|Cage 1|2 PROGRAM EXAM-SERVICE

A request names its action in "do" (see ACTIONS). Where the answer is a list, "count"
and "timeout" wait until it holds that many; where it is one value, "until" and
"timeout" wait until it is that value."""

import argparse
import json
import shutil
import subprocess
import sys
import tempfile

from .desktop import start_desktop
from .launch import Launch
from .pipewire import PipeWire
from .processes import Processes, wait_until
from .service import ExamService


class Session:
    def __init__(self, options):
        self.options = options
        self.folder = tempfile.mkdtemp(prefix="tessaro-e2e-")
        self.processes = Processes(self.folder)
        try:
            self.desktop = start_desktop(options.desktop, self.folder, options.screens)
        except BaseException:
            shutil.rmtree(self.folder, ignore_errors=True)
            raise
        self.service = self.launch = self.pipewire = self.window = None

    def close(self):
        if self.launch:
            self.launch.stop()
        for part in (self.service, self.desktop, self.processes):
            if part:
                part.close()
        shutil.rmtree(self.folder, ignore_errors=True)

    def start_service(self, options):
        self.service = ExamService(self.options.exam_service, self.folder, options)
        return self.folder

    def start_program(self, arguments, environment, bus=False):
        self.launch = Launch([self.options.program, *arguments], self.desktop, self.folder, environment, bus)
        return {"pid": self.launch.pid, "home": self.launch.home, "folder": self.folder}

    def find_window(self, timeout):
        self.window = self.desktop.window(self.launch, timeout)
        if self.window is None:
            raise RuntimeError("no window of the program appeared")
        return self.window

    def lines(self, exact=None, prefix=None):
        return [line for line in self.launch.lines()
                if (exact is None or line == exact) and (prefix is None or line.startswith(prefix))]

    def run(self, argv, timeout=20):
        """A command with the launch's environment (its home, its desktop, its bus), or the desktop's."""
        environment = self.launch.environment if self.launch else self.desktop.tools
        result = subprocess.run(argv, env=environment, capture_output=True, text=True, timeout=timeout)
        return {"status": result.returncode, "output": result.stdout}

    def screen_cast(self, properties):
        self.pipewire = self.pipewire or PipeWire(self.processes, self.folder)
        self.pipewire.create_node(properties)
        return self.pipewire.socket


ACTIONS = {
    "service": lambda s, r: s.start_service(r.get("options", [])),
    "launch": lambda s, r: s.start_program(r.get("arguments", []), r.get("environment"), r.get("bus", False)),
    "lines": lambda s, r: s.lines(r.get("exact"), r.get("prefix")),
    "exit": lambda s, r: s.launch.wait(r.get("timeout", 0)),
    "requests": lambda s, r: s.service.requests(r.get("path")),
    "reports": lambda s, r: s.service.reports(r.get("match")),
    "window": lambda s, r: s.find_window(r.get("timeout", 20)),
    "dialog": lambda s, r: s.desktop.dialog(r["title"], r.get("timeout", 20)),
    "title": lambda s, r: s.desktop.title(r.get("window", s.window)),
    "size": lambda s, r: s.desktop.size(r.get("window", s.window)),
    "fullscreen": lambda s, r: s.desktop.fullscreen(r.get("window", s.window)),
    "primary": lambda s, r: s.desktop.primary,
    "key": lambda s, r: s.desktop.key(r.get("window", s.window), r["keys"]),
    "type": lambda s, r: s.desktop.type(r.get("window", s.window), r["text"]),
    "click": lambda s, r: s.desktop.click(r.get("window", s.window), r["x"], r["y"], r["button"]),
    "close": lambda s, r: s.desktop.close_window(r.get("window", s.window), r["times"]),
    "leave-fullscreen": lambda s, r: s.desktop.leave_fullscreen(r.get("window", s.window)),
    "minimize": lambda s, r: s.desktop.minimize_and_show(r.get("window", s.window)),
    "selection": lambda s, r: s.desktop.selection(r["name"]),
    "set-selection": lambda s, r: s.desktop.set_selection(r["name"], r["text"]),
    "screenshot": lambda s, r: s.desktop.screenshot(r["path"]),
    "run": lambda s, r: s.run(r["argv"]),
    "kill-web-process": lambda s, r: s.launch.kill_web_processes(),
    "strays": lambda s, r: s.launch.strays(),
    "spawn": lambda s, r: s.processes.start(r["argv"], "spawned").pid,
    "screen-cast": lambda s, r: s.screen_cast(r["properties"]),
}


def answer(session, request):
    results = []

    def done():
        results.append(ACTIONS[request["do"]](session, request))
        if "until" in request:
            return results[-1] == request["until"]
        return not isinstance(results[-1], list) or len(results[-1]) >= request.get("count", 1)

    wait_until(done, request.get("timeout", 0))
    return results[-1]


def main():
    parser = argparse.ArgumentParser(prog="python3 -m harness", description=__doc__)
    parser.add_argument("desktop", type=str.lower, choices=("x11", "sway", "mutter", "kwin", "cage"))
    parser.add_argument("screens", type=int, choices=(1, 2))
    parser.add_argument("program")
    parser.add_argument("exam_service")
    try:
        session = Session(parser.parse_args())
    except Exception as error:
        print(json.dumps({"error": f"{type(error).__name__}: {error}"}), flush=True)
        raise
    try:
        print(json.dumps({"ok": session.folder}), flush=True)
        for line in sys.stdin:
            try:
                reply = {"ok": answer(session, json.loads(line))}
            except Exception as error:  # the test hears of every failure, and goes on
                reply = {"error": f"{type(error).__name__}: {error}"}
            print(json.dumps(reply), flush=True)
    finally:
        session.close()


if __name__ == "__main__":
    main()
