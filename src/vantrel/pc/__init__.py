"""Normalised file-system paths."""

from ._pc import _Path
from .Path import Path

__all__ = ["Path", "_Path"]
