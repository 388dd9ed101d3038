"""A short tour of vantrel."""

import os
import tempfile

from vantrel.pc import Path, _Path

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
