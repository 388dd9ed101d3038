"""Normalised file-system paths, their live queries and well-known locations."""

from ._pc import _Path, loc
from .Path import Path

__all__ = ["Path", "_Path", "loc"]
