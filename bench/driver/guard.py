"""The quick bench's verdict: each guarded ratio of the run against its guard."""

import tomllib


def read(path):
    with open(path, "rb") as file:
        return tomllib.load(file)["guard"]


def check(results, guards):
    """Lines for people, and whether every guarded figure was measured within its guard."""
    rows = [row for benchmark in results["benchmarks"].values() for row in benchmark["rows"]]
    lines, passed = [], True
    for guard in guards:
        found = next((row for row in rows if row["figure"].startswith(guard["figure"])), None)
        ratio = found["ratio"] if found else None
        within = ratio is not None and ratio <= guard["at_most"]
        passed = passed and within
        shown = "not measured" if ratio is None else f"{ratio:.3f}"
        lines.append(f"{'ok  ' if within else 'OVER'} {guard['figure']}: ratio {shown}, "
                     f"guard {guard['at_most']} (full run: {guard['last']})")
    return lines, passed
