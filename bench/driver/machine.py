"""The facts of the machine and of the source tree that a set of figures belongs to."""

import os
import platform
import subprocess


def _command(arguments, cwd=None):
    try:
        result = subprocess.run(arguments, capture_output=True, text=True, cwd=cwd, timeout=30)
    except (OSError, subprocess.TimeoutExpired):
        return None
    return result.stdout.strip() if result.returncode == 0 else None


def _cpu_model():
    with open("/proc/cpuinfo") as cpuinfo:
        for line in cpuinfo:
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    return platform.processor() or None


def _memory_mib():
    with open("/proc/meminfo") as meminfo:
        for line in meminfo:
            if line.startswith("MemTotal:"):
                return int(line.split()[1]) // 1024
    return None


def _package(name):
    return _command(["dpkg-query", "--showformat=${Version}", "--show", name])


def facts():
    curl_version = _command(["curl", "--version"])
    os_release = {}
    if os.path.exists("/etc/os-release"):
        with open("/etc/os-release") as release:
            for line in release:
                key, _, value = line.strip().partition("=")
                os_release[key] = value.strip('"')
    return {
        "cpuModel": _cpu_model(),
        "cores": os.cpu_count(),
        "memoryMiB": _memory_mib(),
        "kernel": platform.release(),
        "system": os_release.get("PRETTY_NAME"),
        "webkitgtk": _command(["pkg-config", "--modversion", "webkitgtk-6.0"]),
        "webkitgtkPackage": _package("libwebkitgtk-6.0-4"),
        "gtk": _command(["pkg-config", "--modversion", "gtk4"]),
        "libcurl": _command(["pkg-config", "--modversion", "libcurl"]),
        "curl": curl_version.splitlines()[0] if curl_version else None,
    }


def load_average():
    """The machine's load when the figures were made: other work on it shows here."""
    with open("/proc/loadavg") as loadavg:
        return " ".join(loadavg.read().split()[:3])


def commit(repository):
    """The commit the figures were made from, and whether the tree differed from it. Asked
    without optional locks, so looking never touches the repository's index."""
    head = _command(["git", "rev-parse", "HEAD"], cwd=repository)
    changes = _command(["git", "--no-optional-locks", "status", "--porcelain"], cwd=repository)
    return {"head": head, "dirty": bool(changes), "changedPaths": changes.splitlines() if changes else []}
