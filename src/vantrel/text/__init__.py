"""Streams whose reads do not consume: every read returns all that was read so far."""

from .quelm import UnconsumingIO

__all__ = ["UnconsumingIO"]
