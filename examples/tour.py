"""A short tour of vantrel."""

import io
import os
import tempfile
import time

from vantrel.pc import Path, _Path, loc
from vantrel.text import UnconsumingIO
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


print("\n== vantrel.pc: live queries and well-known locations")
with tempfile.TemporaryDirectory() as top:
    report = os.path.join(top, "Report.TXT")
    with open(report, "w") as f:
        f.write("twelve bytes")
    p = Path(report)
    print(f"Path('.../Report.TXT')   exists {p.exists}, is_file {p.is_file}, size {p.size},"
          f" name {p.name!r}, ext {p.ext!r}")
    os.remove(report)
    print(f"  after removing it      exists {p.exists}, size {p.size}")
    d = Path(top)
    print(f"Path(tmp folder)         is_dir {d.is_dir}, size {d.size}, name {d.name!r}")
print(f"loc.temp                 -> {loc.temp}")
print(f"loc.script               -> {loc.script}  (this script's folder)")
print(f"type(loc.script)         -> {type(loc.script).__module__}.{type(loc.script).__name__}")

print("\n== vantrel.text: reads that do not consume")
sink = io.StringIO()
stream = UnconsumingIO(sink)
stream.write("first line\n")
stream.write("día dos\n".encode())
sink.seek(0)
print(f"read(5)   -> {stream.read(5)!r}")
print(f"read()    -> {stream.read()!r}")
print(f"read(14)  -> {stream.read(14)!r}  (14 UTF-8 bytes: 'í' counts two)")

print("\n== vantrel.time: stopwatches, time-outs and time stamps")
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

print("\n== Native errors carry the C++ stack of their throw")
try:
    UnconsumingIO("abc").read(-1)  # a size must be a count: pybind11 refuses it in C++
except Exception as error:
    print(f"{type(error).__name__}: {error}")
