#!/usr/bin/python3
"""Tessaro as a screen reader meets it: tessaro-local on the harness's X11 desktop (Xvfb and
openbox) with a session bus and the accessibility bus of at-spi2-core, read over AT-SPI.
One case per run, named on the command line; ctest runs each. Exit status 0 passed,
1 failed, 77 skipped (the reason is printed)."""

import argparse
import contextlib
import glob
import os
import shutil
import sys
import tempfile

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness.desktop import start_desktop  # noqa: E402
from harness.launch import Launch  # noqa: E402
from harness.processes import wait_until  # noqa: E402
from harness.service import ExamService  # noqa: E402

SKIPPED = 77
PAGE_TITLE = "Accessible exam"


class Skip(Exception):
    pass


def wait_for(what, probe, seconds):
    found = wait_until(probe, seconds, 0.25)
    if not found:
        raise AssertionError("not seen within %d s: %s" % (seconds, what))
    return found


def wait_for_line(tessaro, line, seconds=20):
    wait_for("the line %r (lines so far: %r)" % (line, tessaro.lines()), lambda: line in tessaro.lines(), seconds)


def application_of(pid):
    desktop = Atspi.get_desktop(0)
    for index in range(desktop.get_child_count()):
        application = desktop.get_child_at_index(index)
        if application and application.get_process_id() == pid:
            # Nothing here listens to the tree's change events, so nothing may be cached.
            application.set_cache_mask(Atspi.Cache.NONE)
            return application
    return None


def descendants(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for index in range(node.get_child_count()):
        yield from descendants(node.get_child_at_index(index), depth + 1)


def find(pid, role, name):
    """The first object of the program with that role and name, or None."""
    for node in descendants(application_of(pid)):
        with contextlib.suppress(GLib.Error):
            if node.get_role() == role and node.get_name() == name:
                return node
    return None


def wait_for_object(tessaro, role, name, seconds=20):
    return wait_for("%s named %r" % (role.value_nick, name), lambda: find(tessaro.pid, role, name), seconds)


def toolkit_at_least(gtk_version, major, minor):
    return tuple(int(part) for part in gtk_version.split(".")[:2]) >= (major, minor)


def page_in_tree(gtk_version):
    """GTK carries the web view's page into the tree only through its AT-SPI socket (4.14)."""
    if not toolkit_at_least(gtk_version, 4, 14):
        raise Skip("GTK %s has no AT-SPI socket through which the web view plugs in its page's tree "
                   "(GTK 4.14 and later have one): the page is out of a screen reader's reach" % gtk_version)


def exam_page(context):
    context.start_service()
    tessaro = context.start_tessaro()
    wait_for_object(tessaro, Atspi.Role.FRAME, PAGE_TITLE + " \u2014 Tessaro", 30)
    page_in_tree(context.gtk_version)
    wait_for_object(tessaro, Atspi.Role.HEADING, "Question 1 of 1")
    wait_for_object(tessaro, Atspi.Role.ENTRY, "Your answer")
    button = wait_for_object(tessaro, Atspi.Role.PUSH_BUTTON, "Hand in")
    assert button.get_action_name(0) in ("click", "press", "activate"), button.get_action_name(0)
    button.do_action(0)
    wait_for_line(tessaro, "handed in: ")
    assert tessaro.lines()[tessaro.lines().index("handed in: ") - 1] == "log", tessaro.lines()


def keyboard(context):
    context.start_service()
    tessaro = context.start_tessaro()
    window = wait_for("the exam window", lambda: context.desktop.windows(name=PAGE_TITLE), 30)[0]
    context.desktop.run(["xdotool", "windowactivate", "--sync", window])
    steps = [
        (["key", "Tab"], "focus answer"),
        (["type", "42"], None),
        (["key", "Tab"], "focus hand-in"),
        (["key", "shift+Tab"], "focus answer"),
        (["key", "Insert"], "key Insert"),
        (["key", "Caps_Lock"], "key CapsLock"),
        (["key", "Tab", "Return"], "handed in: 42"),
        (["key", "space"], None),
    ]
    for command, line in steps:
        context.desktop.run(["xdotool", *command])
        if line:
            wait_for_line(tessaro, line, 10)
    wait_for("Space pressing the button", lambda: tessaro.lines().count("handed in: 42") == 2, 10)


def launch_gate_alert(context):
    tool = os.path.join(context.folder, "flameshot")
    shutil.copy("/bin/sleep", tool)
    context.desktop.processes.start([tool, "600"], "flameshot")
    tessaro = context.start_tessaro()
    # GTK before 4.14 makes every message dialog a plain dialog, whatever role it is given.
    role = Atspi.Role.ALERT if toolkit_at_least(context.gtk_version, 4, 14) else Atspi.Role.DIALOG
    alert = wait_for_object(tessaro, role, "Tessaro", 30)
    texts = [text_of(node) for node in descendants(alert)]
    assert "Running applications need to be quit" in texts, texts
    assert any(text.startswith("You need to close the following applications") and text.endswith("\n\nflameshot")
               for text in texts), texts
    wait_for_object(tessaro, Atspi.Role.PUSH_BUTTON, "Quit").do_action(0)
    assert tessaro.wait(10) == 0


def error_page(context):
    # Without the page in the tree only the window's name is left, which the launch tests check.
    page_in_tree(context.gtk_version)
    tessaro = context.start_tessaro()
    title = "The exam could not be reached"
    wait_for_object(tessaro, Atspi.Role.FRAME, title + " \u2014 Tessaro", 45)
    wait_for_object(tessaro, Atspi.Role.HEADING, title)
    wait_for("the error page's text", lambda: any(
        "Tessaro could not load your exam" in text_of(node)
        for node in descendants(application_of(tessaro.pid))), 20)


def text_of(node):
    """What a screen reader reads of a page's element: its name, else its text."""
    return node.get_name() or (Atspi.Text.get_text(node, 0, -1) if node.get_text_iface() else "")


CASES = {case.__name__: case for case in (exam_page, keyboard, launch_gate_alert, error_page)}


class Context:
    """The desktop, its session bus with the accessibility bus on it, and what a case starts."""

    def __init__(self, options, folder):
        self.options = options
        self.gtk_version = options.gtk_version
        self.folder = folder
        self.closers = []

    def start_desktop(self):
        for name in ("NO_AT_BRIDGE", "GTK_A11Y"):
            os.environ.pop(name, None)
        self.desktop = start_desktop("x11", self.folder)
        self.closers.append(self.desktop.close)
        os.environ.update(DISPLAY=self.desktop.tools["DISPLAY"], DBUS_SESSION_BUS_ADDRESS=self.desktop.bus(),
                          XDG_RUNTIME_DIR=self.desktop.runtime)
        self.desktop.processes.start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], "at-spi-bus",
                                     dict(os.environ))
        Atspi.init()

    def start_service(self):
        self.closers.append(ExamService(self.options.exam_service, self.folder, ["--launch-page", self.options.page]).close)

    def start_tessaro(self):
        tessaro = Launch([self.options.tessaro], self.desktop, self.folder, bus=True)
        self.closers.append(tessaro.stop)
        return tessaro

    def close(self):
        for close in reversed(self.closers):
            close()


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("case", choices=sorted(CASES))
    parser.add_argument("--tessaro", required=True)
    parser.add_argument("--exam-service", required=True)
    parser.add_argument("--page", required=True)
    parser.add_argument("--gtk-version", required=True)
    options = parser.parse_args()
    folder = tempfile.mkdtemp(prefix="tessaro-a11y-")
    context = Context(options, folder)
    try:
        context.start_desktop()
        CASES[options.case](context)
    except Skip as reason:
        print("skipped:", reason)
        return SKIPPED
    except Exception as failure:  # any failure is reported with the desktop processes' logs
        print("failed: %s: %s" % (type(failure).__name__, failure))
        for log in sorted(glob.glob(folder + "/**/*.log", recursive=True)):
            print("--", log, "--\n" + open(log, errors="replace").read()[-3000:])
        return 1
    finally:
        context.close()
        shutil.rmtree(folder, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
