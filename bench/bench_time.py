"""Stopwatch and TimeStamp against the Python they stand in for."""

import datetime
import time

import pytz

from harness import compare, report
from vantrel.time import Stopwatch, TimeStamp


class PythonStopwatch:
    """The same stopwatch, state for state, in plain Python on time.perf_counter."""

    def __init__(self):
        self.start_time = -1.0
        self.stop_time = -1.0
        self.running = False

    def start(self):
        now = time.perf_counter()
        self.running = True
        self.stop_time = -1.0
        self.start_time = now
        return self

    def stop(self):
        self.running = False
        self.stop_time = time.perf_counter()
        return self

    @property
    def elapsed(self):
        if self.start_time == -1.0:
            return -1.0
        if not self.running:
            return self.stop_time - self.start_time
        return time.perf_counter() - self.start_time


def python_stamp(t: float, tz: str):
    """What TimeStamp(t, tz) is made of, as Python calls."""
    dt = datetime.datetime.fromtimestamp(t, tz=pytz.timezone(tz))
    return dt.year, dt.month, dt.day, dt.hour, dt.minute, dt.second, dt.microsecond, dt.isoformat()


def main() -> None:
    compare("Stopwatch().start(), then elapsed", lambda: Stopwatch().start().elapsed,
            lambda: PythonStopwatch().start().elapsed, "≤ 1", 50_000)
    sw, psw = Stopwatch().start(), PythonStopwatch().start()
    compare("elapsed of a running stopwatch", lambda: sw.elapsed, lambda: psw.elapsed, "≤ 1", 100_000)
    for tz in ("America/New_York", "UTC"):
        t = 1_700_000_000.123456
        assert TimeStamp(t, tz).ISO == python_stamp(t, tz)[-1]
        compare(f"TimeStamp(t, {tz!r})", lambda: TimeStamp(t, tz), lambda: python_stamp(t, tz), "≤ 1.2", 5_000)
    report("vantrel.time against plain Python")


if __name__ == "__main__":
    main()
