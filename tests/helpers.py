"""Assertions shared by the tests."""

import contextlib

import pytest


@contextlib.contextmanager
def raises_native(message):
    """Expect a native C++ error whose message contains `message`."""
    with pytest.raises(Exception) as info:
        yield info
    assert message in str(info.value)
