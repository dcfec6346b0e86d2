#!/usr/bin/python3
"""Tessaro as a screen reader meets it: tessaro-local on an X server of its own (Xvfb and
openbox) with a session bus and the accessibility bus of at-spi2-core, read over AT-SPI.
One case per run, named on the command line; ctest runs each. Exit status 0 passed,
1 failed, 77 skipped (the reason is printed)."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

SKIPPED = 77
PAGE_TITLE = "Accessible exam"


class Skip(Exception):
    pass


def wait_for(what, probe, seconds):
    deadline = time.monotonic() + seconds
    while True:
        found = probe()
        if found:
            return found
        if time.monotonic() > deadline:
            raise AssertionError("not seen within %d s: %s" % (seconds, what))
        time.sleep(0.25)


class Desktop:
    """Xvfb, openbox, a session bus and the accessibility bus, all in one folder."""

    def __init__(self, folder):
        self.folder = folder
        self.processes = []
        try:
            self.start_all()
        except Exception:
            self.close()
            raise

    def start_all(self):
        folder = self.folder
        self.environment = dict(os.environ, HOME=folder + "/home", XDG_RUNTIME_DIR=folder, TMPDIR=folder)
        for name in ("XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "NO_AT_BRIDGE", "GTK_A11Y"):
            self.environment.pop(name, None)
        os.makedirs(folder + "/home/Downloads")
        self.environment["DISPLAY"] = ":" + self.first_line(
            ["Xvfb", "-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset"])
        with open(folder + "/openbox.xml", "w") as config:
            config.write('<openbox_config xmlns="http://openbox.org/3.4/rc">'
                         "<focus><focusNew>yes</focusNew></focus></openbox_config>")
        self.start(["openbox", "--sm-disable", "--config-file", folder + "/openbox.xml"])
        wait_for("the window manager", lambda: "window id" in self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]), 20)
        self.environment["DBUS_SESSION_BUS_ADDRESS"] = self.first_line(
            ["dbus-daemon", "--session", "--nofork", "--print-address=1"])
        os.environ.update(DISPLAY=self.environment["DISPLAY"],
                          DBUS_SESSION_BUS_ADDRESS=self.environment["DBUS_SESSION_BUS_ADDRESS"])
        self.start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        Atspi.init()

    def start(self, argv, stdout=None):
        log = open(os.path.join(self.folder, os.path.basename(argv[0]) + ".log"), "a")
        process = subprocess.Popen(argv, env=self.environment, stdout=stdout or log, stderr=log,
                                   stdin=subprocess.DEVNULL, text=True)
        self.processes.append(process)
        return process

    def first_line(self, argv):
        return self.start(argv, stdout=subprocess.PIPE).stdout.readline().strip()

    def run(self, argv):
        return subprocess.run(argv, env=self.environment, capture_output=True, text=True, timeout=20).stdout

    def close(self):
        for process in reversed(self.processes):
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()


class Tessaro:
    """tessaro-local with its standard output read line by line."""

    def __init__(self, desktop, binary, arguments=()):
        self.lines = []
        self.process = desktop.start([binary, *arguments], stdout=subprocess.PIPE)
        threading.Thread(target=self.read, daemon=True).start()

    def read(self):
        for line in self.process.stdout:
            self.lines.append(line.rstrip("\n"))

    def wait_for_line(self, line, seconds=20):
        wait_for("the line %r (lines so far: %r)" % (line, self.lines), lambda: line in self.lines, seconds)


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
    application = application_of(pid)
    for node in descendants(application) if application else ():
        try:
            if node.get_role() == role and node.get_name() == name:
                return node
        except GLib.Error:
            continue
    return None


def wait_for_object(tessaro, role, name, seconds=20):
    return wait_for("%s named %r" % (role.value_nick, name), lambda: find(tessaro.process.pid, role, name), seconds)


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
    tessaro.wait_for_line("handed in: ")
    assert tessaro.lines[tessaro.lines.index("handed in: ") - 1] == "log", tessaro.lines


def keyboard(context):
    context.start_service()
    tessaro = context.start_tessaro()
    window = context.desktop.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", PAGE_TITLE]).split()[0]
    context.desktop.run(["xdotool", "windowactivate", "--sync", window])
    steps = [
        (["Tab"], "focus answer"),
        (["type", "42"], None),
        (["Tab"], "focus hand-in"),
        (["shift+Tab"], "focus answer"),
        (["Insert"], "key Insert"),
        (["Caps_Lock"], "key CapsLock"),
        (["Tab", "Return"], "handed in: 42"),
        (["space"], None),
    ]
    for keys, line in steps:
        command = keys if keys[0] == "type" else ["key", *keys]
        context.desktop.run(["xdotool", *command])
        if line:
            tessaro.wait_for_line(line, 10)
    wait_for("Space pressing the button", lambda: tessaro.lines.count("handed in: 42") == 2, 10)


def launch_gate_alert(context):
    tool = os.path.join(context.folder, "flameshot")
    shutil.copy("/bin/sleep", tool)
    context.desktop.start([tool, "600"])
    tessaro = context.start_tessaro()
    # GTK before 4.14 makes every message dialog a plain dialog, whatever role it is given.
    role = Atspi.Role.ALERT if toolkit_at_least(context.gtk_version, 4, 14) else Atspi.Role.DIALOG
    alert = wait_for_object(tessaro, role, "Tessaro", 30)
    texts = [text_of(node) for node in descendants(alert)]
    assert "Running applications need to be quit" in texts, texts
    assert any(text.startswith("You need to close the following applications") and text.endswith("\n\nflameshot")
               for text in texts), texts
    wait_for_object(tessaro, Atspi.Role.PUSH_BUTTON, "Quit").do_action(0)
    assert tessaro.process.wait(10) == 0


def error_page(context):
    # Without the page in the tree only the window's name is left, which the launch tests check.
    page_in_tree(context.gtk_version)
    tessaro = context.start_tessaro()
    title = "The exam could not be reached"
    wait_for_object(tessaro, Atspi.Role.FRAME, title + " \u2014 Tessaro", 45)
    wait_for_object(tessaro, Atspi.Role.HEADING, title)
    wait_for("the error page's text", lambda: any(
        "Tessaro could not load your exam" in text_of(node)
        for node in descendants(application_of(tessaro.process.pid))), 20)


def text_of(node):
    """What a screen reader reads of a page's element: its name, else its text."""
    if node.get_name():
        return node.get_name()
    return Atspi.Text.get_text(node, 0, -1) if node.get_text_iface() else ""


CASES = {case.__name__: case for case in (exam_page, keyboard, launch_gate_alert, error_page)}


class Context:
    def __init__(self, options, folder):
        self.options = options
        self.gtk_version = options.gtk_version
        self.folder = folder
        self.desktop = Desktop(folder)

    def start_service(self):
        self.desktop.start([self.options.exam_service, "--launch-page", self.options.page])
        log = os.path.join(self.folder, "exam-service.log")
        wait_for("the exam service", lambda: "exam-service listening on" in open(log).read(), 10)

    def start_tessaro(self):
        return Tessaro(self.desktop, self.options.tessaro)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("case", choices=sorted(CASES))
    parser.add_argument("--tessaro", required=True)
    parser.add_argument("--exam-service", required=True)
    parser.add_argument("--page", required=True)
    parser.add_argument("--gtk-version", required=True)
    options = parser.parse_args()
    folder = tempfile.mkdtemp(prefix="tessaro-a11y-")
    context = None
    try:
        context = Context(options, folder)
        CASES[options.case](context)
    except Skip as reason:
        print("skipped:", reason)
        return SKIPPED
    except Exception as failure:  # any failure is reported with the desktop processes' logs
        print("failed: %s: %s" % (type(failure).__name__, failure))
        for name in sorted(os.listdir(folder)):
            if name.endswith(".log"):
                print("--", name, "--\n" + open(os.path.join(folder, name), errors="replace").read()[-3000:])
        return 1
    finally:
        if context:
            context.desktop.close()
        shutil.rmtree(folder, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
