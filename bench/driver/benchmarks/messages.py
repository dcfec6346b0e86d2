"""Messages: the peak memory of Tessaro's main process for the largest body of each page
message that carries text, against the body's text.

The page builds the body before it reports ready, and posts it once the driver has reset
the peaks. A message without an answer ("log", a "download" the network refuses) is done
when the program has gone quiet again after the post. The engine itself holds about three
times the text in the main process while it carries the message over (see the save
benchmark), so 3.5 x leaves the program about half the text of its own."""

from ..peaks import PeakWatch
from ..preparation import settle
from ..rows import row

MESSAGES = ("log", "security", "download", "saveFile")
GOAL = 3.5
TIMEOUT = 300


def _peak(context, name, size):
    with context.launch(context.tessaro, f"message-{name}-{size}") as launch:
        context.wait_for("ready", launch, 120)
        settle(launch)
        watch = PeakWatch(launch)
        watch.start()
        context.gate.open()
        report = context.wait_for("message", launch, TIMEOUT)
        quiet = settle(launch, timeout=60)
        memory = watch.stop()
        context.gate.open()
        launch.wait(10)
    return dict(memory, ms=report["elapsed"], quietAfter=quiet,
                peakTimesText=memory["peakRssGrowthKiB"] * 1024 / size)


def run(context):
    size = context.options.message_bytes
    runs = {name: [] for name in MESSAGES}
    for index in range(context.options.message_runs):
        for name in MESSAGES:
            result = _peak(context, name, size)
            runs[name].append(result)
            context.say(f"message {index + 1} {name}: peak {result['peakTimesText']:.2f} x text")
    rows = []
    for name in MESSAGES:
        peaks = [result["peakTimesText"] for result in runs[name]]
        rows.append(row(f'message: "{name}" with {size / 1e6:.0f} MB of text, peak memory growth of the '
                        "main process (VmHWM) / text", "x text", peaks, "-", None, f"<= {GOAL} x text",
                        max(peaks) <= GOAL))
    return {"runs": runs, "rows": rows}
