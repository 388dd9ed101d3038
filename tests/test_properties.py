"""Invariants that hold for any input, checked on generated ones."""

import datetime
import math
import os
import pathlib
import time

import pytest
import pytz
from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st
from hypothesis.stateful import RuleBasedStateMachine, initialize, invariant, precondition, rule

from helpers import HEADER
from vantrel.pc import _Path
from vantrel.text import UnconsumingIO
from vantrel.time import Stopwatch, TimeStamp, Timeout

# Few, varied examples: each one calls into the interpreter's os.path and the file system.
FAST = settings(max_examples=150, deadline=None, suppress_health_check=[HealthCheck.too_slow])

# Any code point, lone surrogates included (they have no UTF-8 form).
ANY_TEXT = st.text(st.characters(exclude_categories=()), max_size=30)

# ---------------------------------------------------------------------------------------------
# _Path


@pytest.fixture(scope="module")
def tree(tmp_path_factory):
    """A small tree to name: directories a, a/b, c and the files f and a/g."""
    root = tmp_path_factory.mktemp("tree")
    (root / "a" / "b").mkdir(parents=True)
    (root / "c").mkdir()
    (root / "f").write_text("file")
    (root / "a" / "g").write_text("file")
    return str(root)


# Relative texts built from the tree's names and the pieces that normalisation must handle.
PIECES = st.sampled_from(["a", "b", "c", "f", "g", "x", ".", "..", "/", "//", "\\", "é", " ", "\x00", "a.TXT"])
RELATIVE = st.lists(PIECES, max_size=8).map("".join)


class FsPath:
    """An os.PathLike that only knows __fspath__."""

    def __init__(self, value):
        self.value = value

    def __fspath__(self):
        return self.value


class WithPath:
    """Any object with a `path` attribute, as os.DirEntry and _Path have."""

    def __init__(self, value):
        self.path = value


def forms(text):
    """The same path as every kind of input that names it."""
    raw = text.encode()
    return [text, raw, bytearray(raw), FsPath(text), FsPath(raw), WithPath(text), pathlib.PurePosixPath(text)]


def documented_failure(error):
    """The errors _Path may raise for an input of the kinds generated here: text without a
    UTF-8 form is a native cast error, bytes that are not UTF-8 fail in os.path."""
    if isinstance(error, UnicodeDecodeError):
        return True
    return type(error) is Exception and str(error).startswith(HEADER + "Unable to cast Python instance of type")


def check_path(p):
    text = p.path
    assert text.startswith("/") and "//" not in text
    assert text.endswith("/") == os.path.isdir(text)
    assert p.wpath == text.replace("/", "\\")
    assert str(p) == repr(p) == text
    assert _Path(text).path == text
    parts = [part for part in text.split("/") if part]
    assert [p.seg(i) for i in range(len(parts))] == parts
    if parts:
        assert p.seg(-1) == parts[-1]
    with pytest.raises(IndexError):
        p.seg(len(parts))


@FAST
@given(relative=RELATIVE)
def test_every_form_of_one_path_normalises_alike(tree, relative):
    made = [_Path(form) for form in forms(tree + "/" + relative)]
    for p in made:
        check_path(p)
    assert len({p.path for p in made}) == 1
    assert _Path._parse(relative.encode()) == _Path(relative).path


@FAST
@given(source=st.one_of(ANY_TEXT, st.binary(max_size=30), ANY_TEXT.map(FsPath), st.binary(max_size=30).map(FsPath),
                        ANY_TEXT.map(pathlib.PurePosixPath), st.integers(), st.floats(), st.none()))
def test_any_input_is_a_normal_path_or_a_documented_error(source):
    try:
        p = _Path(source)
    except Exception as error:  # noqa: BLE001  (the point is which errors arrive)
        assert documented_failure(error), repr(error)
        return
    check_path(p)
    assert _Path(p).path == p.path


# ---------------------------------------------------------------------------------------------
# UnconsumingIO


class Scripted:
    """A stream whose read() gives the scripted results one per call (raising those that are
    exceptions), then empty text; it records what it wrote."""

    def __init__(self):
        self.script = []
        self.written = []

    def read(self):
        result = self.script.pop(0) if self.script else ""
        if isinstance(result, BaseException):
            raise result
        return result

    def write(self, text):
        self.written.append(text)


def held_bytes(result):
    """What a stream result adds to the buffer, or None when it holds no data."""
    if isinstance(result, str):
        for handler in ("strict", "surrogateescape", "surrogatepass"):
            try:
                return result.encode("utf-8", handler)
            except UnicodeEncodeError:
                pass
    if isinstance(result, (bytes, bytearray)):
        return bytes(result)
    return None


CHUNKS = st.one_of(
    ANY_TEXT,
    st.binary(max_size=12),
    st.binary(max_size=12).map(bytearray),
    st.sampled_from([None, 7, ValueError("closed"), "é", "\u4e0a", b"\xff"]),
)
SIZES = st.one_of(st.none(), st.integers(0, 40), st.booleans(), st.sampled_from([-1, 2.0, "3", 2**64 - 1, 2**64]))


def expected_read(buffer, size):
    """The bytes read(size) answers from `buffer`, or the type of error it raises."""
    if size is None:
        return buffer
    if isinstance(size, float) or not isinstance(size, int) or not 0 <= size < 2**64:
        return Exception
    return buffer[:size]


class UnconsumingModel(RuleBasedStateMachine):
    """Reads, writes and streams in any order against a model of the buffer."""

    @initialize()
    def make(self):
        self.stream = Scripted()
        self.io = UnconsumingIO(self.stream)
        self.buffer = b""
        self.written = []

    @rule(chunks=st.lists(CHUNKS, max_size=3))
    def stream_yields(self, chunks):
        self.stream.script.extend(chunks)

    @rule(size=SIZES)
    def read(self, size):
        pending = self.stream.script[0] if self.stream.script else ""
        try:
            result = self.io.read(size)
        except UnicodeDecodeError:
            result = UnicodeDecodeError
        except ValueError as error:
            assert error is pending  # the stream's own error, unchanged; nothing was taken
            return
        except Exception as error:  # noqa: BLE001  (a native cast error of the result or the size)
            assert str(error).startswith(HEADER + "Unable to cast Python instance of type"), str(error)
            result = Exception
        taken = held_bytes(pending)
        if taken is None:
            assert result is Exception  # the result held no data: the buffer is unchanged
            return
        self.buffer += taken
        expected = expected_read(self.buffer, size)
        if expected is Exception:
            assert result is Exception
            return
        try:
            expected = expected.decode()
        except UnicodeDecodeError:
            expected = UnicodeDecodeError
        assert result == expected

    @rule(text=ANY_TEXT)
    def write_text(self, text):
        try:
            text.encode()
        except UnicodeEncodeError:
            with pytest.raises(TypeError):
                self.io.write(text)
            return
        self.io.write(text)
        self.written.append(text)

    @rule(data=st.one_of(st.binary(max_size=12), st.binary(max_size=12).map(bytearray)))
    def write_bytes(self, data):
        try:
            text = bytes(data).decode()
        except UnicodeDecodeError:
            with pytest.raises(UnicodeDecodeError):
                self.io.write(data)
            return
        self.io.write(data)
        self.written.append(text)

    @precondition(lambda self: not self.stream.script)
    @rule(size=st.integers(0, 60))
    def read_is_a_prefix_of_read_all(self, size):
        """With nothing more to come, read(n) is the first n bytes of read()."""
        try:
            whole = self.io.read().encode()
        except UnicodeDecodeError:
            return
        assert whole == self.buffer  # everything yielded is still there, in order
        try:
            assert self.io.read(size).encode() == whole[:size]
        except UnicodeDecodeError:
            with pytest.raises(UnicodeDecodeError):
                whole[:size].decode()

    @invariant()
    def writes_reach_the_stream_and_only_it(self):
        assert self.stream.written == self.written


TestUnconsumingIO = UnconsumingModel.TestCase
TestUnconsumingIO.settings = settings(max_examples=150, stateful_step_count=20, deadline=None)


# ---------------------------------------------------------------------------------------------
# TimeStamp

ZONES = st.sampled_from(pytz.common_timezones)
# Seconds from before year 1 to after year 9999, so that datetime's own refusals come up too.
STAMPS = st.one_of(st.floats(-7e10, 3.2e11), st.integers(-2**31, 2**31), st.sampled_from([math.nan, math.inf]))
FORMATS = st.sampled_from(["%Y-%m-%d %H:%M:%S", "%H:%M %Z %z", "%j %a %b", "%f", "%%"])
FIELDS = ["year", "month", "day", "hour", "minute", "second", "microsecond"]


@FAST
@given(stamp=STAMPS, zone=ZONES, format=FORMATS)
def test_time_stamp_fields_are_those_of_fromtimestamp(stamp, zone, format):
    try:
        dt = datetime.datetime.fromtimestamp(stamp, tz=pytz.timezone(zone))
    except Exception as error:  # noqa: BLE001  (TimeStamp must raise the very same)
        with pytest.raises(type(error)):
            TimeStamp(stamp, zone)
        return
    ts = TimeStamp(stamp, zone)
    assert [getattr(ts, name) for name in FIELDS] == [getattr(dt, name) for name in FIELDS]
    micro = dt.microsecond
    assert (ts.decisecond, ts.centisecond, ts.millisecond) == (micro // 100000, micro // 10000, micro // 1000)
    assert ts.ISO == dt.isoformat() and repr(ts) == f"<TimeStamp '{dt.isoformat()}>"
    assert ts.unix == float(ts) == float(stamp)
    if -2**31 <= stamp < 2**31:
        assert int(ts) == math.trunc(stamp)
    assert ts.stamp() == dt.strftime("%Y-%m-%d %H:%M:%S") and ts.stamp(format) == dt.strftime(format)


@FAST
@given(a=st.floats(-1e10, 1e10), b=st.one_of(st.floats(-1e10, 1e10), st.integers(-2**33, 2**33)),
       zones=st.tuples(ZONES, ZONES), other=st.sampled_from([None, "10", (), object()]))
def test_time_stamps_compare_as_their_unix_seconds(a, b, zones, other):
    x, y = TimeStamp(a, zones[0]), TimeStamp(b, zones[1])
    truth = (a == b, a < b, a > b)
    assert (x == y, x < y, x > y) == truth
    assert (x == b, x < b, x > b) == truth
    assert (x != y) == (a != b)
    # Anything that is neither a TimeStamp nor a number stands for -1.0.
    assert (x == other, x < other, x > other) == (a == -1.0, a < -1.0, a > -1.0)


# ---------------------------------------------------------------------------------------------
# Stopwatch and Timeout


class Bracket:
    """The monotonic clock's readings just before and just after a call: the clock read
    inside the call lies between them (the same clock, divided alike)."""

    def __init__(self, call):
        self.low = time.monotonic_ns() / 1e9
        self.result = call()
        self.high = time.monotonic_ns() / 1e9


class StopwatchModel(RuleBasedStateMachine):
    """start, stop and reads in any order, against the state table: new, running, stopped,
    stopped without a start; every elapsed time within what the clock allows."""

    @initialize(limit=st.one_of(st.none(), st.sampled_from([-5, 0, 3600])))
    def make(self, limit):
        self.limit = limit
        if limit is None:
            self.sw, self.start = Stopwatch(), None
        else:
            made = Bracket(lambda: Timeout(limit))
            self.sw, self.start = made.result, made
        self.stop = None

    @rule()
    def start_it(self):
        started = Bracket(self.sw.start)
        assert started.result is self.sw
        self.start, self.stop = started, None

    @rule()
    def stop_it(self):
        stopped = Bracket(self.sw.stop)
        assert stopped.result is self.sw
        self.stop = stopped

    def bounds(self, read):
        """The least and greatest elapsed time that a read bracketed by `read` may give."""
        end = self.stop or read
        return end.low - self.start.high, end.high - self.start.low

    @rule(x=st.one_of(st.floats(-2, 2), st.integers(-2, 2), st.just(math.nan)))
    def read(self, x):
        read = Bracket(lambda: self.sw.elapsed)
        e = read.result
        if self.start is None:
            assert e == -1.0 and not self.sw.running
        else:
            low, high = self.bounds(read)
            assert max(low, 0.0) <= e <= high
            assert self.sw.running == (self.stop is None)
        if self.start is None or self.stop is not None:  # frozen: every read agrees
            assert float(self.sw) == e and int(self.sw) == math.trunc(e)
            assert [self.sw > x, self.sw >= x, self.sw < x, self.sw <= x, self.sw == x] == [
                e > x, e >= x, e < x, e <= x, e == x]

    @precondition(lambda self: self.limit is not None)
    @rule()
    def check(self):
        # A limit of 0 or less is reached at once; an hour never within a test.
        frozen = self.start is not None and self.stop is not None
        expected = self.limit <= 0 or (frozen and self.sw.elapsed >= self.limit)
        assert self.sw.timed_out == expected
        if expected:
            with pytest.raises(TimeoutError, match=r"^The operation timed out\.$"):
                self.sw.check()
        else:
            assert self.sw.check() is None


TestStopwatch = StopwatchModel.TestCase
TestStopwatch.settings = settings(max_examples=150, stateful_step_count=15, deadline=None)
