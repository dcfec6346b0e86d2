"""One line of the results table: our figure, the reference's, their ratio and the goal."""

from .figures import pairwise_ratios, ratio, spread


def row(figure, unit, ours, reference_name, theirs, goal, met, note=None):
    """ours and theirs are the per-run values, in run order, so run i of one was made
    side by side with run i of the other."""
    ours_spread = spread(ours)
    theirs_spread = spread(theirs) if theirs is not None else None
    return {
        "figure": figure,
        "unit": unit,
        "tessaro": ours_spread,
        "reference": reference_name,
        "reference_values": theirs_spread,
        "ratio": ratio(ours_spread["median"], theirs_spread["median"])
        if ours_spread and theirs_spread else None,
        "pair_ratios": spread(pairwise_ratios(ours, theirs)) if theirs else None,
        "goal": goal,
        "met": met,
        "note": note,
    }


def ratio_at_most(figure, factor):
    """Whether Tessaro's median is at most factor x the reference's; undecided without one."""
    return None if figure["ratio"] is None else figure["ratio"] <= factor


def ratio_at_least(figure, factor):
    return None if figure["ratio"] is None else figure["ratio"] >= factor
