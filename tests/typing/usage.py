"""Typed use of the package, checked by `mypy --strict` (make stubs-check), never run.

Each `type: ignore[code]` marks a call the stubs must refuse: strict mode reports an ignore
that is not needed, so a stub that grew too loose fails the check too.
"""

import io
import pathlib

from vantrel.pc import Path, _Path, loc
from vantrel.text import UnconsumingIO
from vantrel.time import Stopwatch, Timeout, TimeStamp


def path_facts(path: _Path) -> tuple[str, str, str, int | None, bool, pathlib.Path]:
    return path.path, path.seg(0), path.ext, path.size, path.is_dir, path._pure


def cache_file(name: str) -> Path:
    folder: Path = loc.cache
    return folder.child(name)


def first_bytes(stream: UnconsumingIO, count: int) -> str:
    stream.write("text")
    stream.write(b"bytes")
    stream.write(bytearray(b"bytearray"))
    return stream.read(count) + stream.read()


def timed(limit: int) -> tuple[float, bool, str, int]:
    watch: Timeout = Timeout(limit).start()
    watch.check()
    moment = TimeStamp(1_700_000_000.25, tz="UTC")
    return float(Stopwatch().start().stop()), watch > 0.5, moment.stamp("%Y").upper(), int(moment)


def refused(path: Path, moment: TimeStamp) -> None:
    path.path = "/elsewhere"  # type: ignore[misc]
    _Path(arg0="/tmp")  # type: ignore[call-arg]
    UnconsumingIO(io.StringIO()).write(1)  # type: ignore[call-overload]
    size: int = path.size  # type: ignore[assignment]
    del size
    Stopwatch() > "x"  # type: ignore[operator]
    moment.stamp(format=1)  # type: ignore[arg-type]
