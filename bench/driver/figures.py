"""Summaries of repeated measurements."""

import math
import statistics


def spread(values):
    """min, median and max, the form every figure is reported in."""
    values = [value for value in values if value is not None]
    if not values:
        return None
    return {"min": min(values), "median": statistics.median(values), "max": max(values), "runs": len(values)}


def percentile(values, fraction):
    """The nearest-rank percentile: a value that really was measured."""
    ordered = sorted(values)
    rank = max(1, math.ceil(fraction * len(ordered)))
    return ordered[rank - 1]


def ratio(ours, theirs):
    if ours is None or not theirs:
        return None
    return ours / theirs


def pairwise_ratios(ours, theirs):
    """Ratios of runs made side by side (run i of one program with run i of the other)."""
    return [ratio(a, b) for a, b in zip(ours, theirs)]
