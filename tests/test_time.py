"""vantrel.time: Stopwatch, Timeout and TimeStamp."""

import datetime
import fractions
import operator
import os
import re
import subprocess
import sys
import textwrap
import types

import pytest
import pytz

import vantrel.time
from conftest import PROBES, SANITIZED, preload
from helpers import raises_native, rss_kib
from vantrel.time import Stopwatch, TimeStamp, Timeout, _time

NAN = float("nan")


class MyStopwatch(Stopwatch):
    pass


class MyTimeout(Timeout):
    pass


class MyStamp(TimeStamp):
    pass


# --- the monotonic clock under the test's control

CLOCK_PRELUDE = """
import ctypes
from vantrel.time import Stopwatch, Timeout
_now = ctypes.c_int64.in_dll(ctypes.CDLL(None), "vantrel_fake_clock_ns")
def at(seconds):
    _now.value = round(seconds * 1e9)
def at_ns(nanoseconds):
    _now.value = nanoseconds
import time
at_ns(123)
if time.monotonic_ns() != 123:
    raise SystemExit(77)
"""


@pytest.fixture
def on_fake_clock():
    """Run code in a fresh interpreter whose monotonic clock reads only what `at(seconds)` or
    `at_ns(nanoseconds)` last set; the code asserts for itself."""
    def run(code):
        env = dict(os.environ, LD_PRELOAD=preload(PROBES / "libfake_clock.so"))
        result = subprocess.run([sys.executable, "-c", CLOCK_PRELUDE + textwrap.dedent(code)],
                                env=env, capture_output=True, text=True)
        if result.returncode == 77:
            pytest.skip("the monotonic clock cannot be interposed here")
        assert result.returncode == 0, result.stderr

    return run


def test_stopwatch_through_its_states(on_fake_clock):
    on_fake_clock("""
        at(100)
        sw = Stopwatch()
        assert (sw.running, sw.elapsed, float(sw), int(sw)) == (False, -1.0, -1.0, -1)
        assert sw == -1 and not sw > 0
        assert sw.stop() is sw                       # stopped without a start
        at(105)
        assert (sw.running, sw.elapsed) == (False, -1.0)
        assert sw.start() is sw
        assert (sw.running, sw.elapsed) == (True, 0.0)
        at(107.5)
        assert (sw.elapsed, float(sw), int(sw)) == (2.5, 2.5, 2)
        sw.stop()
        at(200)
        assert (sw.running, sw.elapsed) == (False, 2.5)  # frozen
        sw.stop()
        assert sw.elapsed == 95.0                    # a second stop moves the end
        sw.start()
        at(201.25)
        assert (sw.running, sw.elapsed) == (True, 1.25)  # restarted from zero
    """)


def test_clock_reading_is_nanoseconds_divided_by_1e9(on_fake_clock):
    on_fake_clock("""
        at_ns(0)
        sw = Stopwatch().start()
        at_ns(3)
        assert sw.stop().elapsed == 3 / 1e9 != 3 * 1e-9
    """)


def test_int_truncates_toward_zero_and_stays_exact_beyond_32_bits(on_fake_clock):
    on_fake_clock("""
        at(0)
        sw = Stopwatch().start()
        for seconds, expected in [(2.9, 2), (2**31 - 0.5, 2**31 - 1), (2**31 + 0.5, 2**31),
                                  (5e9, 5_000_000_000)]:
            at(seconds)
            assert int(sw) == expected, (seconds, int(sw))
        at(10)
        sw.start()
        at(7.5)                                      # a reading below the start
        assert int(sw) == -2
    """)


def test_stopwatch_comparisons(on_fake_clock):
    on_fake_clock("""
        at(0)
        sw = Stopwatch().start()
        at(2.5)
        assert sw > 2 and sw >= 2.5 and sw <= 2.5 and sw < 3 and sw == 2.5 and sw != 3
        assert not (sw > 2.5 or sw < 2.5 or sw == 2 or sw != 2.5)
        nan = float("nan")
        assert not (sw > nan or sw >= nan or sw < nan or sw <= nan or sw == nan) and sw != nan
        new = Stopwatch()
        assert sw > new and new < sw and new == Stopwatch() and 3 > sw
    """)


def test_timeout_limit_is_inclusive(on_fake_clock):
    on_fake_clock("""
        at(0)
        t = Timeout(2)
        assert t.running
        at(1.999999999)
        assert not t.timed_out and t.check() is None
        at(2)
        assert t.timed_out
        try:
            t.check()
        except TimeoutError as e:
            assert str(e) == "The operation timed out."
        else:
            raise AssertionError("no TimeoutError")
        for limit in (0, -5):                        # timed out at once, with nothing elapsed
            assert Timeout(limit).timed_out
        one = Timeout(True)
        at(2.5)
        assert not one.timed_out
        at(3)
        assert one.timed_out
    """)


def test_stopped_timeout_waits_until_started_again(on_fake_clock):
    on_fake_clock("""
        at(0)
        t = Timeout(2)
        at(1)
        t.stop()
        at(100)
        assert not t.timed_out and t.check() is None
        t.start()                                    # the whole limit anew
        at(101.5)
        assert not t.timed_out
        at(102)
        assert t.timed_out
    """)


# --- Stopwatch and Timeout on the real clock


@pytest.mark.parametrize("make", [Stopwatch, lambda: Timeout(5), MyStopwatch, lambda: MyTimeout(5)],
                         ids=["Stopwatch", "Timeout", "Stopwatch subclass", "Timeout subclass"])
def test_start_and_stop_give_back_the_same_object(make):
    sw = make()
    assert sw.start() is sw
    assert sw.stop() is sw
    assert sw.start().stop().elapsed >= 0


def test_timeout_is_a_running_stopwatch():
    t = Timeout(3600)
    assert isinstance(t, Stopwatch) and issubclass(Timeout, Stopwatch)
    assert t.running and t.elapsed >= 0
    assert not t.timed_out and t.check() is None
    assert Timeout(timeout=3).stop().timed_out is False
    assert not hasattr(t, "timeout")


def test_timeout_error_is_plain_python():
    with pytest.raises(TimeoutError) as info:
        Timeout(0).check()
    assert type(info.value) is TimeoutError
    assert info.value.args == ("The operation timed out.",)
    assert info.value.__cause__ is None and info.value.__context__ is None


class IndexOnly:
    def __index__(self):
        return 7


class IntOnly:
    def __int__(self):
        return 7


class FloatOnly:
    def __float__(self):
        return 2.5


class MyFloat(float):
    pass


@pytest.mark.parametrize("limit", [7, IndexOnly(), IntOnly(), 2**31 - 1, -2**31])
def test_timeout_accepts_32_bit_integers(limit):
    assert Timeout(limit).stop().timed_out is (int(limit) <= 0)


@pytest.mark.parametrize("limit", [1.5, 7.0, MyFloat(7), 2**31, -2**31 - 1, "5", None])
def test_timeout_refuses_others(limit):
    with pytest.raises(TypeError, match="incompatible constructor arguments"):
        Timeout(limit)


@pytest.mark.parametrize("operand", [1, True, 2.5, MyFloat(2.5), IndexOnly(), FloatOnly(),
                                     Stopwatch(), Timeout(9), TimeStamp(0, "UTC")])
def test_stopwatch_compares_with_what_converts_to_float(operand):
    assert Stopwatch() <= operand


@pytest.mark.parametrize("op", [operator.eq, operator.ne, operator.gt, operator.ge, operator.lt, operator.le])
@pytest.mark.parametrize("operand", ["x", None, b"1", [1.0]])
def test_stopwatch_compared_with_anything_else_is_type_error(op, operand):
    with pytest.raises(TypeError, match="incompatible function arguments"):
        op(Stopwatch(), operand)


# --- TimeStamp


def test_epoch_in_the_default_zone():
    ts = TimeStamp(0)
    fields = (ts.year, ts.month, ts.day, ts.hour, ts.minute, ts.second, ts.microsecond)
    assert fields == (1969, 12, 31, 19, 0, 0, 0)
    assert ts.ISO == "1969-12-31T19:00:00-05:00"
    assert repr(ts) == "<TimeStamp '1969-12-31T19:00:00-05:00>"


def test_fractions_of_a_second():
    ts = TimeStamp(1.25, "UTC")
    assert (ts.second, ts.microsecond, ts.decisecond, ts.centisecond, ts.millisecond) == (1, 250000, 2, 25, 250)
    assert ts.unix == float(ts) == 1.25 and int(ts) == 1
    assert ts.ISO == "1970-01-01T00:00:01.250000+00:00"
    assert ts.stamp() == "1970-01-01 00:00:01" and ts.stamp("%H:%M") == "00:00"
    # Each coarser field comes from the microseconds alone, not as a remainder.
    fine = TimeStamp(0.987654, "UTC")
    assert (fine.microsecond, fine.millisecond, fine.centisecond, fine.decisecond) == (987654, 987, 98, 9)


def test_fields_match_datetime_in_every_zone():
    for zone in ["UTC", "America/New_York", "Asia/Kolkata", "Australia/Lord_Howe", "Europe/London"]:
        for stamp in [-2e9, -1.5, 0, 1_700_000_000.123456, 2**31 - 1, 4e9]:
            ts = TimeStamp(stamp, zone)
            dt = datetime.datetime.fromtimestamp(stamp, tz=pytz.timezone(zone))
            assert (ts.year, ts.month, ts.day, ts.hour, ts.minute, ts.second, ts.microsecond) == (
                dt.year, dt.month, dt.day, dt.hour, dt.minute, dt.second, dt.microsecond)
            assert ts.ISO == dt.isoformat() and ts.stamp("%c %Z") == dt.strftime("%c %Z")


def test_keywords_and_text_forms():
    assert TimeStamp(stamp=0, tz="UTC").stamp(format="%Y") == "1970"
    assert TimeStamp(0, tz=b"Asia/Tokyo").ISO == TimeStamp(0, bytearray(b"Asia/Tokyo")).ISO == (
        "1970-01-01T09:00:00+09:00")
    assert TimeStamp(0, "UTC").stamp(b"%d.%m.") == "01.01."
    assert TimeStamp(0, "UTC").stamp("caf\u00e9 %Y") == "caf\u00e9 1970"


@pytest.mark.parametrize("stamp, unix", [(7, 7.0), (True, 1.0), (MyFloat(2.5), 2.5), (IndexOnly(), 7.0),
                                         (FloatOnly(), 2.5), (Stopwatch(), -1.0)])
def test_stamp_converts_to_float(stamp, unix):
    ts = TimeStamp(stamp, "UTC")
    assert type(ts.unix) is float and ts.unix == unix


@pytest.mark.parametrize("args", [("0",), (None,), (0, 5), (0, None), (0, "\ud800")])
def test_arguments_that_do_not_convert(args):
    with pytest.raises(TypeError, match="incompatible constructor arguments"):
        TimeStamp(*args)


@pytest.mark.parametrize("fmt", [5, None, "\ud800"])
def test_formats_that_do_not_convert(fmt):
    with pytest.raises(TypeError, match="incompatible function arguments"):
        TS.stamp(fmt)


@pytest.mark.parametrize("stamp, expected", [(2.9, 2), (-2.9, -2), (2**31 - 1, 2**31 - 1), (2**31, 2**31),
                                             (-2**31 - 1.5, -2**31 - 1), (253402300799.5, 253402300799)])
def test_int_truncates_toward_zero_beyond_32_bits_too(stamp, expected):
    value = int(TimeStamp(stamp, "UTC"))
    assert type(value) is int and value == expected


def test_equal_moments_in_different_zones():
    assert TimeStamp(10, "UTC") == TimeStamp(10, "Asia/Tokyo")
    assert TimeStamp(10, "UTC").ISO != TimeStamp(10, "Asia/Tokyo").ISO


TS = TimeStamp(10)


@pytest.mark.parametrize(
    "comparison, expected",
    [
        (lambda: TS == 10, True),
        (lambda: TS != 10, False),
        (lambda: TS < 11.5, True),
        (lambda: TS > True, True),  # bool counts as 1.0
        (lambda: TS == MyFloat(10), True),
        (lambda: TS == TimeStamp(10, "UTC"), True),
        (lambda: TS < MyStamp(11), True),
        (lambda: MyStamp(9) < TS, True),
        (lambda: 11 > TS, True),
        (lambda: TS == "10", False),  # anything else counts as -1.0
        (lambda: TS > None, True),
        (lambda: TS > "x", True),
        (lambda: TS > fractions.Fraction(20), True),
        (lambda: TimeStamp(-1, "UTC") == None, True),  # noqa: E711
        (lambda: TS == NAN or TS < NAN or TS > NAN, False),
        (lambda: TimeStamp(-1, "UTC") == Stopwatch().start().stop(), True),  # its float is not used
    ],
)
def test_comparisons(comparison, expected):
    assert comparison() is expected


@pytest.mark.parametrize("op", [operator.le, operator.ge])
def test_no_less_or_greater_equal(op):
    with pytest.raises(TypeError, match="not supported"):
        op(TS, 10)


def test_int_beyond_a_double_is_the_cast_error():
    with raises_native("Unable to cast"):
        TS == 10**400  # noqa: B015


def test_unknown_zone_is_pytz_own_error():
    with pytest.raises(pytz.UnknownTimeZoneError) as info:
        TimeStamp(0, "Nowhere/City")
    assert type(info.value) is pytz.UnknownTimeZoneError


@pytest.mark.parametrize("stamp", [NAN, float("inf"), float("-inf"), 1e20, 1e12])
def test_stamps_fromtimestamp_refuses_raise_its_own_error(stamp):
    with pytest.raises(Exception) as expected:
        datetime.datetime.fromtimestamp(stamp, tz=pytz.utc)
    with pytest.raises(type(expected.value), match=re.escape(str(expected.value))):
        TimeStamp(stamp, "UTC")


def test_zone_module_is_looked_up_by_name_at_every_construction(monkeypatch):
    asked = []
    fake = types.ModuleType("pytz")
    fake.timezone = lambda name: asked.append(name) or pytz.utc
    monkeypatch.setitem(sys.modules, "pytz", fake)
    TimeStamp(0, "Europe/Paris")
    TimeStamp(0, "Europe/Paris")
    assert asked == ["Europe/Paris", "Europe/Paris"]


def test_a_datetime_subclass_is_read_through_its_attributes(monkeypatch):
    class Shifted(datetime.datetime):
        @property
        def year(self):
            return 1234

    TimeStamp(0)  # the datetime C API is fetched by the first construction
    fake = types.ModuleType("datetime")
    fake.datetime = Shifted
    monkeypatch.setitem(sys.modules, "datetime", fake)
    ts = TimeStamp(0, "UTC")
    assert (ts.year, ts.month, ts.day) == (1234, 1, 1)


def test_without_pytz_the_module_imports_and_every_stamp_fails(python):
    out = python(
        "import sys\n"
        "sys.modules['pytz'] = None\n"
        "from vantrel.time import Stopwatch, TimeStamp\n"
        "print(Stopwatch().elapsed)\n"
        "for _ in range(2):\n"
        "    try:\n"
        "        TimeStamp(0)\n"
        "    except ImportError as e:\n"
        "        print(type(e).__name__)\n"
    ).stdout.split()
    assert out == ["-1.0", "ModuleNotFoundError", "ModuleNotFoundError"]


# --- what the three classes share

INSTANCES = [Stopwatch, lambda: Timeout(1), lambda: TimeStamp(0)]


@pytest.mark.parametrize("make", INSTANCES, ids=["Stopwatch", "Timeout", "TimeStamp"])
def test_unhashable_and_without_instance_dictionary(make):
    obj = make()
    assert type(obj).__hash__ is None
    with pytest.raises(TypeError):
        hash(obj)
    with pytest.raises(AttributeError):
        obj.note = 1


@pytest.mark.parametrize(
    "make, name",
    [(Stopwatch, "elapsed"), (Stopwatch, "running"), (lambda: Timeout(1), "timed_out")]
    + [(lambda: TS, name) for name in ["year", "month", "day", "hour", "minute", "second", "decisecond",
                                       "centisecond", "millisecond", "microsecond", "unix", "ISO"]],
)
def test_read_only(make, name):
    obj = make()
    with pytest.raises(AttributeError):
        setattr(obj, name, 2000)


def test_python_subclasses():
    stamp = MyStamp(5, "UTC")
    assert repr(stamp) == "<TimeStamp '1970-01-01T00:00:05+00:00>" and stamp == 5
    assert type(MyTimeout(0)).__mro__[1:3] == (Timeout, Stopwatch) and MyTimeout(0).timed_out


def test_module_and_classes():
    assert _time.__doc__ is None
    assert [k for k in vars(_time) if not k.startswith("__")] == ["Stopwatch", "Timeout", "TimeStamp"]
    for cls in (Stopwatch, Timeout, TimeStamp):
        assert getattr(vantrel.time, cls.__name__) is cls
        assert cls.__module__ == "vantrel.time._time" and cls.__qualname__ == cls.__name__
        assert cls.__doc__ is None
        assert hasattr(cls, "_pybind11_conduit_v1_")
    assert Timeout.__bases__ == (Stopwatch,)


COMMON = ["__init__", "__doc__", "__module__", "_pybind11_conduit_v1_"]


@pytest.mark.parametrize(
    "cls, members",
    [
        (Stopwatch, ["start", "stop", "__int__", "__float__", "__gt__", "__ge__", "__lt__", "__le__", "__eq__",
                     "__hash__", "elapsed", "running"]),
        (Timeout, ["timed_out", "check"]),
        (TimeStamp, ["stamp", "year", "month", "day", "hour", "minute", "second", "decisecond", "centisecond",
                     "millisecond", "microsecond", "unix", "ISO", "__float__", "__int__", "__repr__", "__eq__",
                     "__hash__", "__lt__", "__gt__"]),
    ],
)
def test_members_in_registration_order(cls, members):
    assert list(vars(cls)) == COMMON + members


SW, TO, ST = "vantrel.time._time.Stopwatch", "vantrel.time._time.Timeout", "vantrel.time._time.TimeStamp"
FLOAT_IN = "typing.SupportsFloat | typing.SupportsIndex"


@pytest.mark.parametrize(
    "member, signature",
    [
        (Stopwatch.__init__, f"__init__(self: {SW}) -> None"),
        (Stopwatch.start, f"start(self: {SW}) -> {SW}"),
        (Stopwatch.stop, f"stop(self: {SW}) -> {SW}"),
        (Stopwatch.__int__, f"__int__(self: {SW}) -> int"),
        (Stopwatch.__float__, f"__float__(self: {SW}) -> float"),
        *[(getattr(Stopwatch, name), f"{name}(self: {SW}, arg0: {FLOAT_IN}) -> bool")
          for name in ["__gt__", "__ge__", "__lt__", "__le__", "__eq__"]],
        (Stopwatch.elapsed.fget, f"(arg0: {SW}) -> float"),
        (Stopwatch.running.fget, f"(self: {SW}) -> bool"),
        (Timeout.__init__, f"__init__(self: {TO}, timeout: typing.SupportsInt | typing.SupportsIndex) -> None"),
        (Timeout.timed_out.fget, f"(arg0: {TO}) -> bool"),
        (Timeout.check, f"check(self: {TO}) -> None"),
        (TimeStamp.__init__, f"__init__(self: {ST}, stamp: {FLOAT_IN}, tz: str = 'America/New_York') -> None"),
        (TimeStamp.stamp, f"stamp(self: {ST}, format: str = '%Y-%m-%d %H:%M:%S') -> object"),
        (TimeStamp.year.fget, f"(self: {ST}) -> int"),
        (TimeStamp.microsecond.fget, f"(self: {ST}) -> int"),
        (TimeStamp.unix.fget, f"(self: {ST}) -> float"),
        (TimeStamp.ISO.fget, f"(self: {ST}) -> str"),
        (TimeStamp.__float__, f"__float__(self: {ST}) -> float"),
        (TimeStamp.__int__, f"__int__(self: {ST}) -> int"),
        (TimeStamp.__repr__, f"__repr__(self: {ST}) -> str"),
        *[(getattr(TimeStamp, name), f"{name}(self: {ST}, arg0: object) -> bool")
          for name in ["__eq__", "__lt__", "__gt__"]],
    ],
)
def test_signatures(member, signature):
    assert member.__doc__ == signature + "\n"


# TimeStamp runs pytz's Python code at every construction, so it gets fewer rounds; a leaked
# datetime or ISO text per construction would still show as well over 10 MiB.
@pytest.mark.parametrize(
    "make, count",
    [
        (lambda: Stopwatch().start().stop() > 1, 1_000_000),
        (lambda: Timeout(5).check(), 1_000_000),
        (lambda: TimeStamp(1_700_000_000.5, "America/New_York").stamp() and TS == 1e300, 200_000),
    ],
    ids=["Stopwatch", "Timeout", "TimeStamp"],
)
@pytest.mark.skipif(SANITIZED, reason="ASan keeps freed memory in quarantine")
def test_construction_leaks_nothing(make, count):
    for _ in range(count // 10):
        make()
    before = rss_kib()
    for _ in range(count):
        make()
    assert rss_kib() - before < 4096
