"""The two programs under comparison, as commands for a launch of a bench page mode."""

LAUNCH_PAGE = "http://127.0.0.1:18765/native-launch?examkey="


class Program:
    def __init__(self, name, command_for, load_delay):
        self.name = name
        self.command = command_for
        # Tessaro asks the service for its status document a second after start and only
        # then loads the exam; start-up figures leave that wait out.
        self.load_delay = load_delay


def tessaro(binary):
    return Program("tessaro", lambda mode: [binary, "tessaro://launch/" + mode], 1.0)


def floor(binary):
    return Program("floor", lambda mode: [binary, LAUNCH_PAGE + mode], 0.0)


def delayed_floor(binary):
    """The floor loading the page as late as Tessaro does: what the program did in its
    first second, it did while nothing waited for it, in both."""
    return Program("floor, load at 1 s", lambda mode: [binary, LAUNCH_PAGE + mode, "1000"], 1.0)
