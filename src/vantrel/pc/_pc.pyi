from __future__ import annotations
import pathlib
import typing
from vantrel.pc.Path import Path
__all__: list[str] = ['loc']
class _Path:
    @staticmethod
    def _parse(arg0: typing.Any, /) -> str:
        ...
    def __init__(self, arg0: typing.Any, /) -> None:
        ...
    def __repr__(self) -> str:
        ...
    def __str__(self) -> str:
        ...
    def seg(self, i: typing.SupportsInt | typing.SupportsIndex = -1) -> str:
        """
        seg(self, i: int = -1) -> str
        --
        
        Returns segment of path split by '/'
        (Ignores last slash)
        """
    @property
    def _pure(self) -> pathlib.Path:
        ...
    @property
    def exists(self) -> bool:
        ...
    @property
    def ext(self) -> str:
        ...
    @property
    def is_dir(self) -> bool:
        ...
    @property
    def is_file(self) -> bool:
        ...
    @property
    def name(self) -> str:
        ...
    @property
    def path(self) -> str:
        ...
    @property
    def size(self) -> int | None:
        ...
    @property
    def wpath(self) -> str:
        ...
class _loc:
    def __init__(self) -> None:
        ...
    @property
    def cache(self) -> Path:
        ...
    @property
    def script(self) -> Path:
        ...
    @property
    def temp(self) -> Path:
        ...
loc: _loc
