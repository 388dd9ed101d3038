"""A short tour of vantrel."""

import io
import os
import tempfile

from vantrel.pc import Path, _Path
from vantrel.text import UnconsumingIO

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

print("\n== vantrel.text: reads that do not consume")
sink = io.StringIO()
stream = UnconsumingIO(sink)
stream.write("first line\n")
stream.write("día dos\n".encode())
sink.seek(0)
print(f"read(5)   -> {stream.read(5)!r}")
print(f"read()    -> {stream.read()!r}")
print(f"read(14)  -> {stream.read(14)!r}  (14 UTF-8 bytes: 'í' counts two)")
