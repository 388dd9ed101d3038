"""Stopwatches, time-outs and time stamps.

``TimeStamp`` gets its calendar fields from ``datetime`` and ``pytz``. pytz reads only the
32-bit part of its zone files, so its offsets are wrong after 2037 (no daylight saving
time) and before 1901 (local mean time); that is pytz's own fault, kept as it is.
"""

from ._time import Stopwatch, TimeStamp, Timeout

__all__ = ["Stopwatch", "TimeStamp", "Timeout"]
