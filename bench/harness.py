"""Side-by-side timing: ours and a baseline interleaved in one process, medians compared."""

from __future__ import annotations

import statistics
import time
from collections.abc import Callable

ROWS: list[tuple[str, str, str, str, str]] = []


def per_call(fn: Callable[[], object], number: int) -> float:
    """Seconds per call of `fn`, over `number` calls."""
    start = time.perf_counter()
    for _ in range(number):
        fn()
    return (time.perf_counter() - start) / number


def compare(label: str, ours: Callable[[], object], baseline: Callable[[], object], goal: str,
            number: int = 20_000, rounds: int = 15) -> float:
    """Time `ours` against `baseline` in alternating rounds; record and return the median ratio."""
    mine, theirs = [], []
    for _ in range(rounds):
        mine.append(per_call(ours, number))
        theirs.append(per_call(baseline, number))
    ratio = statistics.median(a / b for a, b in zip(mine, theirs))
    record(label, seconds(statistics.median(mine)), seconds(statistics.median(theirs)), f"{ratio:.2f}", goal)
    return ratio


def record(label: str, figure: str, baseline: str, ratio: str, goal: str) -> None:
    ROWS.append((label, figure, baseline, ratio, goal))


def seconds(value: float) -> str:
    for unit, scale in (("s", 1), ("ms", 1e-3), ("µs", 1e-6), ("ns", 1e-9)):
        if value >= scale:
            return f"{value / scale:.3g} {unit}"
    return f"{value:.3g} s"


def report(title: str) -> None:
    """Print the recorded rows as one table and forget them."""
    header = ("figure", "ours", "baseline", "ratio", "goal")
    widths = [max(len(str(row[i])) for row in [header, *ROWS]) for i in range(5)]
    print(f"\n## {title}")
    for row in [header, tuple("-" * w for w in widths), *ROWS]:
        print("  ".join(str(cell).ljust(w) for cell, w in zip(row, widths)).rstrip())
    ROWS.clear()
