"""Eight Python threads using every class at once: no crash, no deadlock, only documented results."""

import datetime
import io
import itertools
import os
import random
import re
import sys
import threading
import time
import traceback

import pytest
import pytz

import _probe
from conftest import ROOT
from helpers import HEADER, native_trace
from vantrel.pc import _Path
from vantrel.text import UnconsumingIO
from vantrel.time import Stopwatch, TimeStamp, Timeout

THREADS = 8
SECONDS = 1.5
DEPTHS = range(2, 8)
NAMES = ["d0", "d1", "d0/e", "f0", "f1", "d1/f2"]

# One native error of each module, raised the same way each time, so each has one trace.
NATIVE_ERRORS = {
    "pc": lambda: _Path(type("Odd", (), {"path": 3})()),
    "text": lambda: UnconsumingIO("abc").read(-1),
    "time": lambda: TimeStamp(0, "UTC") == 10**400,
}


def own_frames(error):
    """The leading frames of a trace that are our code or pybind11's: below them the stack is
    the interpreter's, which differs from thread to thread."""
    return list(itertools.takewhile(lambda frame: frame.startswith(str(ROOT)) or "pybind11/" in frame,
                                    native_trace(error)))


def native_error(call):
    try:
        call()
    except Exception as error:  # noqa: BLE001
        return error
    raise AssertionError("no error")


class Tokens:
    """A stream shared by threads: each read() hands out the next numbered token, or nothing."""

    def __init__(self, count):
        self.lock = threading.Lock()
        self.left = count
        self.given = []

    def read(self):
        with self.lock:
            if not self.left:
                return ""
            self.left -= 1
            self.given.append(f"<{len(self.given)}>")
            return self.given[-1]


class Hammer:
    """What every thread does, in random order, against state they all share."""

    def __init__(self, root):
        self.root = root
        self.stopwatches = [Stopwatch() for _ in range(4)]
        self.text = "".join(chr(c) for c in range(0x20, 0x2000, 7))
        self.over_text = UnconsumingIO(self.text)
        self.tokens = Tokens(50_000)
        self.over_tokens = UnconsumingIO(self.tokens)
        self.traces = {name: own_frames(native_error(call)) for name, call in NATIVE_ERRORS.items()}
        for depth in DEPTHS:
            self.traces[depth] = own_frames(native_error(lambda: _probe.recurse_then_throw(depth, "")))

    def change_tree(self, rng):
        target = os.path.join(self.root, rng.choice(NAMES))
        try:
            if rng.random() < 0.5:
                os.rmdir(target) if target.split("/")[-1].startswith("d") else os.unlink(target)
            elif target.split("/")[-1].startswith("d"):
                os.mkdir(target)
            else:
                with open(target, "w") as f:
                    f.write("x" * rng.randrange(10))
        except OSError:
            pass  # already there, already gone, not empty: the tree is changing

    def query_path(self, rng):
        name = rng.choice(NAMES)
        p = _Path(self.root + "/" + name)
        assert p.path.rstrip("/") == self.root + "/" + name and p.wpath == p.path.replace("/", "\\")
        assert p.seg(-1) == name.split("/")[-1] and p.ext == ""
        assert all(isinstance(answer, bool) for answer in (p.exists, p.is_file, p.is_dir))
        assert p.name in ("", name.split("/")[-1])
        try:
            size = p.size
        except Exception as error:  # noqa: BLE001  (the file went between the kind test and the size query)
            assert type(error) is Exception and "file_size" in str(error), repr(error)
        else:
            assert size is None or (isinstance(size, int) and 0 <= size < 10)

    def use_stopwatches(self, rng):
        shared = rng.choice(self.stopwatches)
        operation = rng.choice([shared.start, shared.stop, lambda: shared])
        assert operation() is shared
        assert isinstance(shared.running, bool)
        assert shared.elapsed == -1.0 or shared.elapsed >= 0
        own = Stopwatch().start().stop()
        assert own.elapsed == float(own) >= 0 and not own.running
        assert Timeout(3600).check() is None
        with pytest.raises(TimeoutError):
            Timeout(0).check()

    def make_time_stamps(self, rng):
        stamp = rng.uniform(-2e9, 2e9)
        zone = rng.choice(pytz.common_timezones)
        ts = TimeStamp(stamp, zone)
        dt = datetime.datetime.fromtimestamp(stamp, tz=pytz.timezone(zone))
        assert (ts.year, ts.month, ts.day, ts.hour, ts.minute, ts.second, ts.microsecond) == (
            dt.year, dt.month, dt.day, dt.hour, dt.minute, dt.second, dt.microsecond)
        assert ts.ISO == dt.isoformat() and ts == stamp

    def read_streams(self, rng):
        head = self.text[: rng.randrange(len(self.text))]
        assert self.over_text.read() == self.text
        assert self.over_text.read(len(head.encode())) == head
        before = self.over_tokens.read()
        assert self.over_tokens.read().startswith(before)  # the buffer only grows
        own = io.StringIO()
        mine = UnconsumingIO(own)
        mine.write("mine")
        own.seek(0)
        assert mine.read() == "mine" and mine.read(2) == "mi"

    def translate_errors(self, rng):
        name = rng.choice(list(NATIVE_ERRORS))
        assert own_frames(native_error(NATIVE_ERRORS[name])) == self.traces[name]
        depth = rng.choice(DEPTHS)
        message = f"{threading.get_ident()} {depth} {rng.random()}"
        error = native_error(lambda: _probe.recurse_then_throw(depth, message))
        assert str(error).startswith(HEADER + message + "\n\n  ")
        assert own_frames(error) == self.traces[depth]  # the recursion, once per level

    def steps(self):
        return [self.change_tree, self.query_path, self.use_stopwatches, self.make_time_stamps,
                self.read_streams, self.translate_errors]


@pytest.fixture
def short_switches():
    """Threads switch often, so that calls interleave as much as they can."""
    interval = sys.getswitchinterval()
    sys.setswitchinterval(1e-5)
    yield
    sys.setswitchinterval(interval)


def test_eight_threads_use_every_class_at_once(tmp_path, short_switches):
    hammer = Hammer(str(tmp_path))
    steps = hammer.steps()
    failures = []
    rounds = [0] * THREADS
    end = time.monotonic() + SECONDS

    def work(index):
        rng = random.Random(index)
        try:
            while time.monotonic() < end:
                rng.choice(steps)(rng)
                rounds[index] += 1
        except BaseException:  # noqa: BLE001  (reported below, with its thread)
            failures.append(f"thread {index}:\n{traceback.format_exc()}")

    threads = [threading.Thread(target=work, args=(i,), daemon=True) for i in range(THREADS)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join(timeout=SECONDS + 60)
    assert not any(thread.is_alive() for thread in threads), "deadlock"
    assert failures == [], failures[0]
    assert all(rounds)
    # Every token the shared stream gave out is in the buffer, once.  (Two reads may append in
    # the other order than the stream gave them out: its lock is released before it returns.)
    held = re.findall(r"<\d+>", hammer.over_tokens.read())
    assert sorted(held) == sorted(hammer.tokens.given) and hammer.tokens.given
