"""Side-by-side timing: ours and a baseline interleaved in one process, medians compared."""

from __future__ import annotations

import statistics
import time
from collections.abc import Callable

Row = tuple[str, str, str, str, str]
HEADER: Row = ("figure", "ours", "baseline", "ratio", "goal")
ROWS: list[Row] = []
# While gather() runs a benchmark: its rows, each under the title it was reported with.
GATHERED: list[tuple[str, Row]] | None = None


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
    """Print the recorded rows as one table, or hand them to gather(), and forget them."""
    if GATHERED is None:
        print(f"\n## {title}")
        print_table([HEADER, *ROWS])
    else:
        GATHERED.extend((title, row) for row in ROWS)
    ROWS.clear()


def gather(benchmarks: dict[str, Callable[[], None]]) -> None:
    """Run each benchmark and print all their rows as one table whose first column names the
    benchmark, then what each benchmark compares."""
    global GATHERED
    rows, titles = [], {}
    for name, run in benchmarks.items():
        GATHERED = []
        run()
        rows += [(name, *row) for _, row in GATHERED]
        titles[name] = "; ".join(dict.fromkeys(title for title, _ in GATHERED))
    GATHERED = None
    print_table([("benchmark", *HEADER), *rows])
    print()
    for name, title in titles.items():
        print(f"- {name}: {title}")


def print_table(rows: list[tuple[str, ...]]) -> None:
    """The rows as a Markdown table, its columns aligned; the first row is the header."""
    widths = [max(len(row[i]) for row in rows) for i in range(len(rows[0]))]
    rule = tuple("-" * w for w in widths)
    for row in [rows[0], rule, *rows[1:]]:
        print("| " + " | ".join(cell.ljust(w) for cell, w in zip(row, widths)) + " |")
