"""A short tour of vantrel."""

import os
import tempfile
import time

from vantrel.pc import Path, _Path
from vantrel.time import Stopwatch, Timeout, TimeStamp

print("== vantrel.pc: normalised paths")
p = _Path("/usr//lib/../share/")
print(f"_Path('/usr//lib/../share/')  -> {p}")
print(f"  wpath                       -> {p.wpath}")
print(f"  seg(0), seg()               -> {p.seg(0)!r}, {p.seg()!r}")
with tempfile.TemporaryDirectory() as top:
    cache = Path(top).child("/__pycache__/")
    cache.mkdir()
    print(f"Path(tmp).child('/__pycache__/') -> {cache.path[len(top):]!r} under the temporary folder,"
          f" exists: {os.path.isdir(cache.path)}")

print()
print("== vantrel.time: stopwatches, time-outs and time stamps")
sw = Stopwatch().start()
time.sleep(0.02)
sw.stop()
print(f"Stopwatch after a 0.02 s sleep -> elapsed {sw.elapsed:.3f} s, int {int(sw)}, > 0.01: {sw > 0.01}")
t = Timeout(0)
try:
    t.check()
except TimeoutError as e:
    print(f"Timeout(0).check()             -> {type(e).__name__}: {e}")
print(f"Timeout(3600).timed_out        -> {Timeout(3600).timed_out}")
ts = TimeStamp(1_700_000_000.25)
print(f"TimeStamp(1_700_000_000.25)    -> {ts!r}")
print(f"  year, hour, millisecond      -> {ts.year}, {ts.hour}, {ts.millisecond}")
print(f"  stamp(), stamp('%d %b %Y')   -> {ts.stamp()!r}, {ts.stamp('%d %b %Y')!r}")
print(f"  == the same moment in Tokyo  -> {ts == TimeStamp(1_700_000_000.25, 'Asia/Tokyo')}")
