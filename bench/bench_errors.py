"""The cost of native error reporting: capture at every throw, translation, cold start.

Baselines run in a second interpreter that has none of our modules, only the foreign
(plain pybind11) probe; the rounds alternate between the two processes.
"""

import statistics
import subprocess
import sys
import textwrap

from harness import record, seconds

PROBES = "build/probes"
SETUP_OURS = "import vantrel.pc, vantrel.time, vantrel.text, _probe as probe"
SETUP_STOCK = "import _foreign as probe"


def run(setup: str, body: str) -> float:
    code = f"import sys; sys.path.insert(0, {PROBES!r})\n{setup}\n" + textwrap.dedent(body)
    out = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, check=True)
    return float(out.stdout)


def alternate(body: str, rounds: int = 7) -> tuple[float, float]:
    ours, stock = [], []
    for _ in range(rounds):
        ours.append(run(SETUP_OURS, body))
        stock.append(run(SETUP_STOCK, body))
    return statistics.median(ours), statistics.median(stock)


CAUGHT_IN_CPP = """
    probe.time_throws(2000, 45)
    print(min(probe.time_throws(20000, 45) for _ in range(5)))
"""

TRANSLATED = """
    import time
    def once():
        try:
            probe.throw_runtime_error("warm")
        except Exception:
            pass
    for _ in range(2000): once()
    best = float("inf")
    for _ in range(5):
        start = time.perf_counter()
        for _ in range(20000): once()
        best = min(best, (time.perf_counter() - start) / 20000)
    print(best)
"""

COLD = """
    import time
    def rss():
        with open("/proc/self/statm") as f:
            return int(f.read().split()[1]) * 4096
    before = rss()
    start = time.perf_counter()
    try:
        probe.throw_runtime_error("cold")
    except Exception:
        pass
    first = time.perf_counter() - start
    start = time.perf_counter()
    try:
        probe.throw_unknown()
    except Exception:
        pass
    new_site = time.perf_counter() - start
    print(first, new_site, rss() - before)
"""


def cold() -> tuple[float, float, float]:
    code = f"import sys; sys.path.insert(0, {PROBES!r})\n{SETUP_OURS}\n" + textwrap.dedent(COLD)
    rows = []
    for _ in range(5):
        out = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, check=True).stdout
        rows.append([float(x) for x in out.split()])
    return tuple(statistics.median(column) for column in zip(*rows))


def main() -> None:
    ours, stock = alternate(CAUGHT_IN_CPP)
    record("throw caught in C++, 45 frames", seconds(ours), seconds(stock), f"{ours / stock:.2f}", "≤ 1.7, ≤ +8 µs")
    ours, stock = alternate(TRANSLATED)
    record("warm translated error", seconds(ours), seconds(stock), f"{ours / stock:.2f}", "≤ 1.6")
    fresh = run(SETUP_OURS, "print(probe.time_fresh_session_captures(20))")
    record("translated error vs one fresh-session capture", seconds(ours), seconds(fresh), f"{ours / fresh:.4f}", "≤ 0.01")
    first, new_site, memory = cold()
    record("first translated error (fresh process)", seconds(first), "", "", "< 100 ms")
    record("first error at a new throw site, warm", seconds(new_site), "", "", "")
    record("resident memory of the line lookup", f"{memory / 2**20:.1f} MB", "", "", "< 33 MB")
    from harness import report

    report("Native error reporting (ours: all three modules imported; baseline: foreign probe alone)")


if __name__ == "__main__":
    main()
