"""_Path: normalisation, inputs, text forms and segments; the package's Path class."""

import os
import pathlib

import pytest

from conftest import SANITIZED
from helpers import raises_native, rss_kib
from vantrel.pc import Path, _Path


@pytest.fixture
def here(tmp_path, monkeypatch):
    """A working directory holding a folder `docs` and a file `docs/a.txt`."""
    (tmp_path / "docs").mkdir()
    (tmp_path / "docs" / "a.txt").write_text("a")
    monkeypatch.chdir(tmp_path)
    return str(tmp_path)


@pytest.mark.parametrize(
    "given, expected",
    [
        ("docs", "/docs/"),
        ("docs//", "/docs/"),
        ("./docs/../docs///", "/docs/"),
        ("docs/a.txt/", "/docs/a.txt"),
        ("missing/", "/missing"),
        ("a/b", "/a/b"),
        ("", "/"),
        ("..\\passwd", "/..\\passwd"),  # a backslash is part of a name, never a separator
        ("docs\\a.txt", "/docs\\a.txt"),
        ("d" + "/" * 10_000 + "e", "/d/e"),
    ],
)
def test_normalisation_against_the_working_directory(here, given, expected):
    p = _Path(given)
    assert p.path == here + expected
    assert p.wpath == p.path.replace("/", "\\")
    assert str(p) == repr(p) == p.path == _Path._parse(given)


@pytest.mark.parametrize(
    "given, expected",
    [("/", "/"), ("//", "/"), ("//server/share", "/server/share"), ("/usr//lib/", "/usr/lib/"), ("///tmp", "/tmp/")],
)
def test_absolute_inputs(given, expected):
    assert _Path(given).path == expected


def test_sources_of_text(here):
    class WithPath:
        path = "docs"
        as_posix = None

    class AsPosix:
        def as_posix(self):
            return "docs/a.txt"

    class FsPath:
        def __init__(self, value):
            self.value = value

        def __fspath__(self):
            return self.value

    entry = next(e for e in os.scandir(here) if e.name == "docs")
    cases = [
        (_Path("docs"), here + "/docs/"),
        (entry, here + "/docs/"),
        (pathlib.Path("docs/a.txt"), here + "/docs/a.txt"),
        (pathlib.PurePosixPath("docs"), here + "/docs/"),
        (WithPath(), here + "/docs/"),
        (AsPosix(), here + "/docs/a.txt"),
        (FsPath("docs"), here + "/docs/"),
        (FsPath(b"docs/a.txt"), here + "/docs/a.txt"),
        (b"/tmp//", "/tmp/"),
        (bytearray(b"docs"), here + "/docs/"),
        ("caf\u00e9", here + "/caf\u00e9"),
        ("caf\u00e9".encode(), here + "/caf\u00e9"),
        (None, here + "/None"),
        (42, here + "/42"),
    ]
    for source, expected in cases:
        assert _Path(source).path == expected, source


def test_errors_of_the_source_pass_through(here):
    class Raises:
        def __init__(self, error):
            self.error = error

        @property
        def path(self):
            raise self.error

    class BadFsPath:
        def __fspath__(self):
            return bytearray(b"x")

    class BadStr:
        def __str__(self):
            raise ValueError("no text")

    for error in (KeyboardInterrupt(), MemoryError(), ValueError("inner")):
        with pytest.raises(type(error)):
            _Path(Raises(error))
    with pytest.raises(TypeError, match="bytearray"):
        _Path(BadFsPath())
    with pytest.raises(ValueError, match="no text"):
        _Path(BadStr())
    with pytest.raises(UnicodeDecodeError):
        _Path(b"\xff")


def test_attribute_error_inside_path_means_absent(here):
    class Broken:
        @property
        def path(self):
            raise AttributeError("nope")

        def __str__(self):
            return "docs"

    assert _Path(Broken()).path == here + "/docs/"


@pytest.mark.parametrize("value", [3, 2.5, ["docs"], "\ud800"])
def test_text_of_another_type_is_a_cast_error(value):
    class Odd:
        path = value

    with raises_native("Unable to cast Python instance of type"):
        _Path(Odd())


def test_each_attribute_is_read_once(here):
    reads = []

    class Nested:
        def __init__(self, depth):
            self.depth = depth

        @property
        def path(self):
            reads.append(self.depth)
            return Nested(self.depth - 1) if self.depth else "docs"

    # A `path` that is itself an object is a cast error, but it must be read only once.
    with raises_native("Unable to cast"):
        _Path(Nested(20))
    assert reads == [20]


@pytest.mark.parametrize(
    "i, expected", [(0, "no"), (1, "such"), (3, "x.txt"), (-1, "x.txt"), (-4, "no")]
)
def test_segments(i, expected):
    p = _Path("/no/such/place/x.txt")
    assert p.seg(i) == expected
    assert p.seg() == "x.txt"


def test_segments_of_a_directory_ignore_the_last_slash():
    p = _Path("/usr/")
    assert p.path == "/usr/"
    assert p.seg(0) == p.seg() == p.seg(-1) == "usr"


@pytest.mark.parametrize("path, i", [("/", 0), ("/", -1), ("/usr/", 1), ("/usr/", -2)])
def test_segment_outside_is_index_error(path, i):
    with pytest.raises(IndexError):
        _Path(path).seg(i)


def test_seg_docstring_and_signatures():
    assert (
        "seg(self, i: int = -1) -> str\n--\n\nReturns segment of path split by '/'\n(Ignores last slash)"
        in _Path.seg.__doc__
    )
    assert _Path.seg.__doc__.startswith(
        "seg(self: vantrel.pc._pc._Path, i: typing.SupportsInt | typing.SupportsIndex = -1) -> str"
    )
    assert _Path.__init__.__doc__.startswith("__init__(self: vantrel.pc._pc._Path, arg0: object) -> None")
    assert _Path._parse.__doc__.startswith("_parse(arg0: object) -> str")
    assert _Path.seg(_Path("/a"), i=0) == "a"


@pytest.mark.parametrize("name", ["path", "wpath"])
def test_properties_are_read_only(name):
    with pytest.raises(AttributeError):
        setattr(_Path("/"), name, "/x")


@pytest.mark.skipif(SANITIZED, reason="ASan keeps freed memory in quarantine")
def test_construction_leaks_nothing():
    source = pathlib.Path("/usr/lib")
    for _ in range(100_000):
        _Path(source)
    before = rss_kib()
    for _ in range(1_000_000):
        _Path(source)
    assert rss_kib() - before < 4096


def test_path_class(tmp_path):
    top = Path(str(tmp_path))
    assert isinstance(top, _Path)
    assert top.path == str(tmp_path) + "/"
    cache = top.child("/__pycache__/")
    assert type(cache) is Path
    assert cache.path == str(tmp_path) + "/__pycache__"
    cache.mkdir()
    cache.mkdir()
    assert (tmp_path / "__pycache__").is_dir()
    assert Path(cache.path).path == str(tmp_path) + "/__pycache__/"
    deep = top.child("a/b/c")
    deep.mkdir()
    assert (tmp_path / "a" / "b" / "c").is_dir()
