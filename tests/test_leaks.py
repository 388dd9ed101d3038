"""Every construction, property and error path, run 200,000 times: resident memory and the
reference counts of the objects involved stay flat.  Slow: `make slow` runs these."""

import datetime
import gc
import pathlib
import sys
import types

import pytest
import pytz

from helpers import rss_kib
from vantrel.pc import _Path, loc
from vantrel.text import UnconsumingIO
from vantrel.time import Stopwatch, TimeStamp, Timeout

pytestmark = pytest.mark.slow

RUNS = 200_000
# A leak of 16 bytes a run would show as 3 MiB.
FLAT_KIB = 2048


class Odd:
    path = 3  # a `path` attribute that is no text: a native cast error


class Fails:
    @property
    def path(self):
        raise LookupError("no path")


class Stream:
    """A stream that yields `chunk` at every read."""

    def __init__(self, chunk):
        self.chunk = chunk

    def read(self):
        return self.chunk

    def write(self, text):
        pass


class Broken:
    def read(self):
        raise ValueError("closed")


def fails(call, error):
    """`call`, expected to raise `error`."""

    def run():
        try:
            call()
        except error:
            return
        raise AssertionError(f"{call} did not raise {error}")

    return run


def location_without_path_class():
    """loc.temp while vantrel.pc.Path has no callable Path: the TypeError passes through."""
    saved = sys.modules["vantrel.pc.Path"]
    sys.modules["vantrel.pc.Path"] = STUB_PATH_MODULE
    try:
        fails(lambda: loc.temp, TypeError)()
    finally:
        sys.modules["vantrel.pc.Path"] = saved


STUB_PATH_MODULE = types.ModuleType("vantrel.pc.Path")
STUB_PATH_MODULE.Path = None


# Objects the cases use and whose reference counts must not move.
FILE = pathlib.Path(__file__)
DIRECTORY = str(FILE.parent) + "/"
ARGUMENT = "/".join(["", "no", "such", "file.Txt"])  # made at run time: not interned
TEXT = "text of a stream".replace("of", "in")
STREAM = Stream("x")
NONE_STREAM = Stream(None)
ZONE_NAME = "Europe/Berlin"
ZONE = pytz.timezone(ZONE_NAME)
FILE_PATH, DIRECTORY_PATH, MISSING_PATH = _Path(FILE), _Path(DIRECTORY), _Path(ARGUMENT)
STAMP = TimeStamp(1.5e9, ZONE_NAME)
OVER_TEXT = UnconsumingIO(TEXT)
WATCHED = [FILE, DIRECTORY, ARGUMENT, TEXT, STREAM, NONE_STREAM, ZONE_NAME, ZONE, datetime.datetime,
           FILE_PATH, DIRECTORY_PATH, MISSING_PATH, STAMP, OVER_TEXT, loc, _Path, UnconsumingIO, Stopwatch,
           Timeout, TimeStamp]

PATH_CASES = {
    "construct from str": lambda: _Path(ARGUMENT),
    "construct from pathlib": lambda: _Path(FILE),
    "construct from _Path": lambda: _Path(FILE_PATH),
    "construct from bytes": lambda: _Path(b"/no/such"),
    "_parse": lambda: _Path._parse(DIRECTORY),
    "text forms": lambda: (FILE_PATH.path, FILE_PATH.wpath, str(FILE_PATH), repr(FILE_PATH)),
    "seg": lambda: (FILE_PATH.seg(), FILE_PATH.seg(0)),
    "_pure": lambda: FILE_PATH._pure,
    "file queries": lambda: (FILE_PATH.ext, FILE_PATH.size, FILE_PATH.name, FILE_PATH.exists, FILE_PATH.is_file),
    "directory queries": lambda: (DIRECTORY_PATH.name, DIRECTORY_PATH.size, DIRECTORY_PATH.is_dir),
    "missing queries": lambda: (MISSING_PATH.ext, MISSING_PATH.size, MISSING_PATH.name, MISSING_PATH.exists),
    "locations": lambda: (loc.temp, loc.script, loc.cache),
    "error: seg out of range": fails(lambda: FILE_PATH.seg(99), IndexError),
    "error: native cast": fails(lambda: _Path(Odd()), Exception),
    "error: not UTF-8": fails(lambda: _Path(b"\xff"), UnicodeDecodeError),
    "error: no UTF-8 form": fails(lambda: _Path("\ud800"), Exception),
    "error: path attribute raises": fails(lambda: _Path(Fails()), LookupError),
    "error: argument mismatch": fails(lambda: FILE_PATH.seg("x"), TypeError),
    "error: no Path class": location_without_path_class,
}

TEXT_CASES = {
    "construct from str": lambda: UnconsumingIO(TEXT),
    "construct from stream": lambda: UnconsumingIO(STREAM),
    "read": lambda: (OVER_TEXT.read(), OVER_TEXT.read(3), OVER_TEXT.read(True)),
    "write": lambda: (UnconsumingIO(STREAM).write(TEXT), UnconsumingIO(STREAM).write(b"x")),
    "read of a growing buffer": lambda: UnconsumingIO(STREAM).read(1),
    "error: refused size": fails(lambda: OVER_TEXT.read(-1), Exception),
    "error: result without data": fails(lambda: UnconsumingIO(NONE_STREAM).read(), Exception),
    "error: the stream raises": fails(lambda: UnconsumingIO(Broken()).read(), ValueError),
    "error: undecodable cut": fails(lambda: UnconsumingIO("é").read(1), UnicodeDecodeError),
    "error: undecodable write": fails(lambda: OVER_TEXT.write(b"\xff"), UnicodeDecodeError),
    "error: write mismatch": fails(lambda: OVER_TEXT.write(None), TypeError),
}

TIME_CASES = {
    "Stopwatch": lambda: Stopwatch().start().stop(),
    "Stopwatch reads": lambda: (lambda sw: (sw.elapsed, sw.running, float(sw), int(sw), sw > 1, sw <= 2.5,
                                            sw == sw))(Stopwatch().start()),
    "Timeout": lambda: (lambda t: (t.timed_out, t.check(), t.start(), t.stop()))(Timeout(5)),
    "TimeStamp": lambda: TimeStamp(1_700_000_000.25, ZONE_NAME),
    "TimeStamp reads": lambda: (STAMP.year, STAMP.month, STAMP.day, STAMP.hour, STAMP.minute, STAMP.second,
                                STAMP.decisecond, STAMP.centisecond, STAMP.millisecond, STAMP.microsecond,
                                STAMP.ISO, STAMP.unix, float(STAMP), int(STAMP), repr(STAMP), STAMP.stamp(),
                                STAMP.stamp("%Y")),
    "TimeStamp comparisons": lambda: (STAMP == STAMP, STAMP < 2e9, STAMP > None, STAMP == "x"),
    "error: timed out": fails(lambda: Timeout(0).check(), TimeoutError),
    "error: unknown zone": fails(lambda: TimeStamp(0, "No/Such_Zone"), pytz.UnknownTimeZoneError),
    "error: refused stamp": fails(lambda: TimeStamp(float("nan"), ZONE_NAME), ValueError),
    "error: operand too large": fails(lambda: STAMP == 10**400, Exception),
    "error: comparison mismatch": fails(lambda: Stopwatch() > "x", TypeError),
}

CASES = [pytest.param(case, id=f"{module}: {name}")
         for module, cases in [("pc", PATH_CASES), ("text", TEXT_CASES), ("time", TIME_CASES)]
         for name, case in cases.items()]


def names_used(function):
    """Every attribute name that a case's code uses, nested lambdas and wrapped calls included."""
    names, codes = set(), [function.__code__]
    for cell in function.__closure__ or ():
        if callable(cell.cell_contents) and hasattr(cell.cell_contents, "__code__"):
            names |= names_used(cell.cell_contents)
    while codes:
        code = codes.pop()
        names.update(code.co_names)
        codes.extend(const for const in code.co_consts if isinstance(const, types.CodeType))
    return names


@pytest.mark.parametrize("cls, cases", [(_Path, PATH_CASES), (type(loc), PATH_CASES),
                                        (UnconsumingIO, TEXT_CASES), (Stopwatch, TIME_CASES),
                                        (Timeout, TIME_CASES), (TimeStamp, TIME_CASES)])
def test_the_cases_use_every_member(cls, cases):
    used = set().union(*map(names_used, cases.values()))
    members = {name for name in vars(cls) if not name.startswith("__") and not name.startswith("_pybind11")}
    assert members - used == set()


@pytest.mark.parametrize("case", CASES)
def test_runs_leave_memory_and_reference_counts_flat(case):
    for _ in range(RUNS // 10):
        case()
    gc.collect()
    counts = [sys.getrefcount(obj) for obj in WATCHED]
    before = rss_kib()
    for _ in range(RUNS):
        case()
    gc.collect()
    assert rss_kib() - before < FLAT_KIB
    assert [sys.getrefcount(obj) for obj in WATCHED] == counts
