"""Type stubs of the extension modules: pybind11-stubgen's output plus the fixes below.

    python .ci/stubs.py write   regenerate the committed stubs in src/vantrel/
    python .ci/stubs.py check   regenerate into a temporary folder, fail on any difference

Both run the generator on the installed modules, so build first.  Each fix replaces every
occurrence of its text and must find at least one: when the generator or a signature changes,
the fix fails loudly and someone reviews the stub again.
"""

from __future__ import annotations

import difflib
import pathlib
import re
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
MODULES = ["vantrel.pc._pc", "vantrel.text.quelm", "vantrel.time._time"]

# (module, generated text, fixed text, why)
FIXES = [
    ("vantrel.pc._pc", "import typing\n", "import typing\nfrom vantrel.pc.Path import Path\n",
     "the locations return the package's Python Path, which the module registers only as a type hint"
     " whose __module__ (.Path) the generator cannot resolve"),
    ("vantrel.text.quelm", "def write(self, arg0: str, /)", "def write(self, arg0: str | bytearray, /)",
     "the str overload also takes a bytearray as UTF-8 text"),
    ("vantrel.time._time", "def start(self) -> Stopwatch:", "def start(self) -> typing.Self:",
     "start returns the object it was called on, a Timeout too"),
    ("vantrel.time._time", "def stop(self) -> Stopwatch:", "def stop(self) -> typing.Self:",
     "so does stop"),
    ("vantrel.time._time", "-> typing.Any:", "-> str:",
     "stamp returns what datetime.strftime returns, a str"),
    ("vantrel.time._time", "def __eq__(self, arg0: typing.SupportsFloat | typing.SupportsIndex, /) -> bool:",
     "def __eq__(self, arg0: typing.SupportsFloat | typing.SupportsIndex, /) -> bool:  # type: ignore[override]",
     "a stopwatch compares only with numbers (anything else raises TypeError), narrower than object's"),
    ("vantrel.time._time", "__hash__: typing.ClassVar[None] = None",
     "__hash__: typing.ClassVar[None] = None  # type: ignore[assignment]",
     "the classes that define __eq__ are unhashable, which object's __hash__ type cannot say"),
]
# The type hint class behind that Path: the generator reports its name as invalid.
IGNORED_IDENTIFIERS = "^$"
# pybind11 names the arguments it was given no name for arg0, arg1...: they are positional only.
UNNAMED_LAST_ARGUMENT = re.compile(r"(\barg\d+: [^,()]+)\)")


def generate(out: pathlib.Path) -> dict[str, str]:
    """The fixed stub text of each module, keyed by its path below src/."""
    subprocess.run([sys.executable, "-m", "pybind11_stubgen", "--exit-code", "-o", str(out),
                    "--ignore-invalid-identifiers", IGNORED_IDENTIFIERS, *MODULES],
                   check=True, cwd=out, stdout=subprocess.DEVNULL)
    stubs = {}
    for module in MODULES:
        relative = module.replace(".", "/") + ".pyi"
        text = UNNAMED_LAST_ARGUMENT.sub(r"\1, /)", (out / relative).read_text())
        for target, old, new, _why in FIXES:
            if target == module:
                if old not in text:
                    sys.exit(f"{module}: the fix for {old!r} no longer applies; review the stub")
                text = text.replace(old, new)
        stubs[relative] = text
    return stubs


def main(mode: str) -> int:
    with tempfile.TemporaryDirectory() as out:
        stubs = generate(pathlib.Path(out))
    stale = 0
    for relative, text in stubs.items():
        committed = ROOT / "src" / relative
        if mode == "write":
            committed.write_text(text)
            continue
        old = committed.read_text() if committed.exists() else ""
        if old != text:
            stale += 1
            sys.stdout.writelines(difflib.unified_diff(old.splitlines(True), text.splitlines(True),
                                                       f"committed {relative}", f"generated {relative}"))
    if stale:
        print(f"{stale} stub(s) differ from the built modules: run `make stubs` and review", file=sys.stderr)
    return 1 if stale else 0


if __name__ == "__main__":
    if sys.argv[1:] not in (["write"], ["check"]):
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
