"""CPU time a program's processes spend over one step, by role."""

from . import procfs


def role(launch, pid):
    if pid == launch.pid:
        return "program"
    name = procfs.name(pid)
    if name.startswith("WebKitWebProc"):
        return "web process"
    if name.startswith("WebKitNetwork"):
        return "network process"
    return "others"


class CpuMeter:
    """Per thread, to the nanosecond. A thread that ends within the step takes its time
    with it; one that begins there counts from zero."""

    def __init__(self, launch):
        self.launch = launch
        self.before = {}

    def _threads(self):
        return {(pid, thread): seconds for pid in self.launch.tree()
                for thread, seconds in procfs.thread_cpu_seconds(pid).items()}

    def start(self):
        self.before = self._threads()

    def stop(self):
        """Seconds by role, and by process as NAME[PID]."""
        roles, processes = {}, {}
        for (pid, thread), seconds in self._threads().items():
            spent = seconds - self.before.get((pid, thread), 0)
            kind = role(self.launch, pid)
            roles[kind] = roles.get(kind, 0) + spent
            key = f"{procfs.name(pid)}[{pid}]"
            processes[key] = processes.get(key, 0) + spent
        return {"byRole": roles, "byProcess": processes, "total": sum(roles.values())}
