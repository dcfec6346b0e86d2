"""The programs under comparison, as commands for a launch of a bench page mode."""

LAUNCH_PAGE = "http://127.0.0.1:18765/native-launch?examkey="

# How Tessaro draws: GTK with cairo, the engine without compositing. On a machine whose GL
# is software, GTK's GL renderer and the engine's compositing cost a bare window one to
# three seconds of its start-up, which is no floor for a program that does not pay them.
DRAWING_AS_TESSARO = {"GSK_RENDERER": "cairo", "WEBKIT_DISABLE_COMPOSITING_MODE": "1"}


class Program:
    def __init__(self, name, command_for, load_delay, environment=None):
        self.name = name
        self.command = command_for
        # Tessaro asks the service for its status document a second after start and only
        # then loads the exam; start-up figures leave that wait out.
        self.load_delay = load_delay
        self.environment = environment or {}


def tessaro(binary):
    return Program("tessaro", lambda mode: [binary, "tessaro://launch/" + mode], 1.0)


def floor(binary):
    """The bare window at the engine's defaults."""
    return Program("floor", lambda mode: [binary, LAUNCH_PAGE + mode], 0.0)


def drawing_floor(binary):
    """The bare window drawing as Tessaro draws: the floor for start-up."""
    return Program("floor drawing as Tessaro", lambda mode: [binary, LAUNCH_PAGE + mode], 0.0, DRAWING_AS_TESSARO)


def delayed_drawing_floor(binary):
    """That window loading the page as late as Tessaro does: what the program did in its
    first second, it did while nothing waited for it, in both."""
    return Program("floor drawing as Tessaro, load at 1 s", lambda mode: [binary, LAUNCH_PAGE + mode, "1000"], 1.0,
                   DRAWING_AS_TESSARO)
