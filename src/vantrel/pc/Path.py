"""The package's path class: a ``_Path`` that can also join and create."""

from __future__ import annotations

import os

from ._pc import _Path


class Path(_Path):
    """An absolute, normalised file-system path.

    Built from any object (a str, bytes, an ``os.PathLike``, another path, an
    ``os.DirEntry``...), it keeps the forward-slash text ``path`` (ending in "/" when it
    named an existing directory at construction) and the backslash text ``wpath``.
    """

    def child(self, name: str) -> Path:
        """The path of ``name`` joined below this one.

        The join is normalised like any path, so ``child("/__pycache__/")`` names the
        folder ``__pycache__`` inside this one.
        """
        return type(self)(self.path + "/" + name)

    def mkdir(self) -> None:
        """Create this directory and its parents; nothing happens if it exists."""
        os.makedirs(self.path, exist_ok=True)
