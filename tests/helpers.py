"""Assertions shared by the tests."""

import contextlib
import re
import resource

import pytest

HEADER = "\n--- C++ Native Stack Trace ---"
FRAME = re.compile(r"\n  (.+ : \d+)")


def native_trace(error):
    """The frame lines ("<file> : <line>") of a native stack trace block, innermost first."""
    text = str(error)
    assert text.startswith(HEADER), text
    return FRAME.findall(text[text.index("\n", len(HEADER)) :])


@contextlib.contextmanager
def raises_native(message):
    """Expect a native C++ error: a plain Exception whose block carries `message`."""
    with pytest.raises(Exception) as info:
        yield info
    assert type(info.value) is Exception, repr(info.value)
    assert str(info.value).startswith(HEADER), str(info.value)
    assert message in str(info.value)


# One native error per module, each raised through a bound call of that module (`m`).
TRIGGERS = {
    "vantrel.pc._pc": "m._Path(type('Odd', (), {'path': 3})())",
    "vantrel.time._time": "m.TimeStamp(0, 'UTC') == 10**400",
    "vantrel.text.quelm": "m.UnconsumingIO('abc').read(-1)",
}


def rss_kib():
    """The process's resident memory, in KiB."""
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * resource.getpagesize() // 1024
