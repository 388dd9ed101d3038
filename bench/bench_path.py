"""_Path(s) against the same normalisation steps written in Python."""

import os
import re

from harness import compare, report
from vantrel.pc import _Path

SLASHES = re.compile("/{2,}")


def python_path(s: str) -> tuple[str, str]:
    s = os.path.abspath(SLASHES.sub("/", s))
    if os.path.isdir(s) and not s.endswith("/"):
        s += "/"
    return s, s.replace("/", "\\")


def main() -> None:
    cases = [
        ("short relative", "docs/a.txt", "≤ 1", 20_000),
        ("long absolute", "/usr/share/" + "/".join(f"level{i}" for i in range(30)) + "/file.txt", "≤ 1", 20_000),
        ("10,000-slash run", "/tmp" + "/" * 10_000 + "x", "≪ 1", 200),
    ]
    for label, text, goal, number in cases:
        assert _Path(text).path == python_path(text)[0]
        compare(f"_Path: {label}", lambda: _Path(text), lambda: python_path(text), goal, number)
    report("_Path construction against the Python steps")


if __name__ == "__main__":
    main()
