"""The results: a markdown table for people and every raw figure as JSON."""

import json


def _number(value):
    if value is None:
        return "-"
    if abs(value) >= 100:
        return f"{value:.0f}"
    if abs(value) >= 10:
        return f"{value:.1f}"
    return f"{value:.2f}" if abs(value) >= 1 else f"{value:.3f}"


def _spread(values):
    if not values:
        return "-"
    return f"{_number(values['min'])} / **{_number(values['median'])}** / {_number(values['max'])}"


def _verdict(met):
    return {True: "met", False: "**missed**", None: "undecided"}[met]


def markdown(results):
    machine = results["machine"]
    commit = results["commit"]
    lines = [
        "# Tessaro benchmarks",
        "",
        f"Run {results['started']}, {results['durationSeconds']:.0f} s, "
        f"commit `{commit['head']}`{' (dirty)' if commit['dirty'] else ''}.",
        f"Command: `{results['command']}`",
        "",
        f"Machine: {machine['cpuModel']}, {machine['cores']} cores, {machine['memoryMiB']} MiB, "
        f"Linux {machine['kernel']}, {machine['system']}; WebKitGTK {machine['webkitgtk']} "
        f"({machine['webkitgtkPackage']}), GTK {machine['gtk']}, libcurl {machine['libcurl']}.",
        f"Engine environment (both programs): {results['engineEnvironment'] or 'defaults'}. "
        f"Load average (1, 5, 15 min) at start: {results['loadAverageAtStart']}, "
        f"at end: {results.get('loadAverageAtEnd', '-')}.",
        "",
        "Each cell: min / **median** / max over the runs. Ratio: Tessaro's median over the "
        "reference's median; pairs: min / median / max of the ratios of runs made side by side.",
        "",
        "| Figure | Unit | Tessaro | Reference | Reference figure | Ratio | Pairs | Goal | Verdict | Note |",
        "| --- | --- | --- | --- | --- | --- | --- | --- | --- | --- |",
    ]
    for name, benchmark in results["benchmarks"].items():
        for row in benchmark["rows"]:
            lines.append("| " + " | ".join([
                row["figure"], row["unit"], _spread(row["tessaro"]), row["reference"] or "-",
                _spread(row["reference_values"]), _number(row["ratio"]), _spread(row["pair_ratios"]),
                row["goal"], "-" if row["goal"].startswith("(") else _verdict(row["met"]), row["note"] or "",
            ]) + " |")
    return "\n".join(lines) + "\n"


def write(results, markdown_path, json_path):
    with open(json_path, "w") as file:
        json.dump(results, file, indent=1)
        file.write("\n")
    with open(markdown_path, "w") as file:
        file.write(markdown(results))
