"""_Path(s) against the same normalisation steps written in Python."""

import os
import re

from harness import compare, report
from vantrel.pc import _Path

SLASHES = re.compile("/{2,}")


def finish(s: str) -> tuple[str, str]:
    s = os.path.abspath(s)
    if os.path.isdir(s) and not s.endswith("/"):
        s += "/"
    return s, s.replace("/", "\\")


def python_steps(s: str) -> tuple[str, str]:
    """The steps as a Python programmer would first write them: "//" replaced until none is left."""
    while len(s) >= 2 and "//" in s:
        s = s.replace("//", "/", 1)
    return finish(s)


def python_regex(s: str) -> tuple[str, str]:
    """The same with the collapse done by one regular-expression pass."""
    return finish(SLASHES.sub("/", s))


def main() -> None:
    cases = [
        ("short relative", "docs/a.txt", "≤ 1", 20_000),
        ("long absolute", "/usr/share/" + "/".join(f"level{i}" for i in range(30)) + "/file.txt", "≤ 1", 20_000),
        ("10,000-slash run", "/tmp" + "/" * 10_000 + "x", "≪ 1", 50),
    ]
    for label, text, goal, number in cases:
        assert _Path(text).path == python_steps(text)[0] == python_regex(text)[0]
        compare(f"_Path: {label}", lambda: _Path(text), lambda: python_steps(text), goal, number)
    text = cases[2][1]
    compare("_Path: 10,000-slash run, against a regex collapse", lambda: _Path(text), lambda: python_regex(text),
            "for scale", 2_000)
    report("_Path construction against the Python steps")


if __name__ == "__main__":
    main()
