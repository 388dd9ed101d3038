"""_Path's live queries against os.path and pathlib asking the same of the same files."""

import os
import pathlib
import tempfile

from harness import compare, report
from vantrel.pc import _Path


def os_name(s: str) -> str:
    if os.path.isfile(s):
        return os.path.splitext(os.path.basename(s))[0]
    return os.path.basename(s.rstrip("/")) if os.path.isdir(s) else ""


def pathlib_name(p: pathlib.Path) -> str:
    if p.is_file():
        return p.stem
    return p.name if p.is_dir() else ""


def os_size(s: str) -> int | None:
    return os.path.getsize(s) if os.path.isfile(s) else None


def pathlib_size(p: pathlib.Path) -> int | None:
    return p.stat().st_size if p.is_file() else None


def main() -> None:
    with tempfile.TemporaryDirectory() as top:
        file = os.path.join(top, "report.txt")
        with open(file, "w") as f:
            f.write("x" * 1000)
        missing = os.path.join(top, "missing.txt")
        ours, ours_missing = _Path(file), _Path(missing)
        pure, pure_missing = pathlib.Path(file), pathlib.Path(missing)
        assert (ours.exists, ours.is_file, ours.size, ours.name) == (True, True, 1000, os_name(file))
        assert ours.name == pathlib_name(pure) and ours.size == os_size(file) == pathlib_size(pure)
        assert not ours_missing.exists

        rows = [
            ("exists, file", lambda: ours.exists, lambda: os.path.exists(file), lambda: pure.exists()),
            ("exists, missing", lambda: ours_missing.exists, lambda: os.path.exists(missing),
             lambda: pure_missing.exists()),
            ("is_file", lambda: ours.is_file, lambda: os.path.isfile(file), lambda: pure.is_file()),
            ("size", lambda: ours.size, lambda: os.path.getsize(file), lambda: pure.stat().st_size),
            # What size answers (the kind test, then the size query) takes two queries in Python too.
            ("size, same two queries", lambda: ours.size, lambda: os_size(file), lambda: pathlib_size(pure)),
            ("name", lambda: ours.name, lambda: os_name(file), lambda: pathlib_name(pure)),
        ]
        for label, query, with_os, with_pathlib in rows:
            compare(f"{label}: against os.path", query, with_os, "≤ 1")
            compare(f"{label}: against pathlib", query, with_pathlib, "≤ 1")
    report("_Path queries against os.path and pathlib")


if __name__ == "__main__":
    main()
