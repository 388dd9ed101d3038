"""_Path's live queries: kind, size, name and extension, asked of the file system on every read."""

import os
import pathlib
import shutil
import subprocess

import pytest

from conftest import PROBES, ROOT, preload
from vantrel.pc import _Path

QUERIES = ("exists", "is_file", "is_dir", "size", "name", "ext")
MISSING = (False, False, False, None, "")


def answers(p):
    return tuple(getattr(p, query) for query in QUERIES)


@pytest.fixture
def tree(tmp_path):
    (tmp_path / "docs").mkdir()
    (tmp_path / "docs" / "Notes.TXT").write_text("hello")
    (tmp_path / "empty.bin").touch()
    (tmp_path / "link.lnk").symlink_to(tmp_path / "docs" / "Notes.TXT")
    (tmp_path / "docs.lnk").symlink_to(tmp_path / "docs")
    (tmp_path / "dangling.lnk").symlink_to(tmp_path / "nowhere")
    (tmp_path / "loop.lnk").symlink_to(tmp_path / "loop.lnk")
    os.mkfifo(tmp_path / "pipe")
    return tmp_path


@pytest.mark.parametrize(
    "where, expected",
    [
        ("docs/Notes.TXT", (True, True, False, 5, "Notes", "txt")),
        ("empty.bin", (True, True, False, 0, "empty", "bin")),
        ("docs", (True, False, True, None, "docs", "")),
        ("/", (True, False, True, None, "", "")),
        ("link.lnk", (True, True, False, 5, "link", "lnk")),  # the target's kind and size, the link's name
        ("docs.lnk", (True, False, True, None, "docs.lnk", "")),
        ("dangling.lnk", (*MISSING, "lnk")),
        ("loop.lnk", (*MISSING, "lnk")),  # the status query fails (ELOOP): read as nothing there
        ("pipe", (True, False, False, None, "", "")),  # exists, but neither file nor directory
        ("missing/REPORT.PDF", (*MISSING, "pdf")),
        ("docs/Notes.TXT/below.txt", (*MISSING, "txt")),  # ENOTDIR
        ("x" * 300 + ".Z", (*MISSING, "z")),  # ENAMETOOLONG
    ],
)
def test_queries(tree, where, expected):
    assert answers(_Path(os.path.join(tree, where))) == expected


@pytest.mark.parametrize(
    "file, ext, name",
    [
        (".bashrc", "", ".bashrc"),
        ("report.", "", "report"),
        ("archive.tar.gz", "gz", "archive.tar"),
        ("Photo.JPEG", "jpeg", "Photo"),
        ("MiXeD.TxT", "txt", "MiXeD"),
        ("..hidden.TAR", "tar", "..hidden"),
        ("noext", "", "noext"),
        ("f.\u4e0a", "\u4e0a", "f"),
        ("r\u00e9sum\u00e9.PD\u00c9", "pd\u00c9", "r\u00e9sum\u00e9"),  # only ASCII is lower-cased
        ("back\\slash.C", "c", "back\\slash"),
    ],
)
def test_ext_and_name_of_files(tmp_path, file, ext, name):
    (tmp_path / file).write_text("")
    p = _Path(str(tmp_path / file))
    assert (p.ext, p.name) == (ext, name)


def test_a_directory_has_no_ext_but_its_whole_name(tmp_path):
    (tmp_path / "v1.2").mkdir()
    p = _Path(str(tmp_path / "v1.2"))
    assert p.path.endswith("/v1.2/")
    assert (p.ext, p.name, p.size) == ("", "v1.2", None)


def test_directory_removed_after_its_path_was_made(tmp_path):
    (tmp_path / "docs").mkdir()
    p = _Path(str(tmp_path / "docs"))
    (tmp_path / "docs").rmdir()
    # is_dir trusts the trailing "/" of a directory found at construction.
    assert answers(p) == (False, False, True, None, "docs", "")


def test_answers_follow_the_file_system(tmp_path):
    target = tmp_path / "f.txt"
    p = _Path(str(target))
    assert answers(p) == (*MISSING, "txt")
    target.write_text("abc")
    assert answers(p) == (True, True, False, 3, "f", "txt")
    target.write_text("abcdef")
    assert p.size == 6
    target.unlink()
    target.mkdir()  # a directory that came after the _Path: no "/", named by its own last component
    assert answers(p) == (True, False, True, None, "f.txt", "txt")
    target.rmdir()
    assert answers(p) == (*MISSING, "txt")


def test_a_path_holding_nul_names_no_file(tmp_path):
    (tmp_path / "a").write_text("x")
    (tmp_path / "d").mkdir()
    # The system calls would answer for the text before the NUL: the file a, the folder d.
    for text in (f"{tmp_path}/a\0b", f"{tmp_path}/d\0", f"{tmp_path}/a\0.TXT"):
        p = _Path(text)
        assert "\0" in p.path
        assert answers(p)[:5] == MISSING, text
    assert _Path(f"{tmp_path}/a\0.TXT").ext == "txt"


def test_pure_is_a_pathlib_path(tmp_path):
    (tmp_path / "caf\u00e9").mkdir()
    p = _Path(str(tmp_path / "caf\u00e9"))
    assert p.path.endswith("/caf\u00e9/")
    assert type(p._pure) is pathlib.PosixPath
    assert str(p._pure) == p.path[:-1]  # pathlib drops the trailing "/"
    assert _Path("/no/such.file")._pure == pathlib.Path("/no/such.file")


def test_size_of_a_file_that_vanishes_is_the_file_size_error(python, tmp_path):
    target = tmp_path / "going.txt"
    target.write_text("hello")
    code = (
        "import ctypes, sys\n"
        "sys.path.insert(0, sys.argv[3])\n"
        "from helpers import raises_native\n"
        "from vantrel.pc import _Path\n"
        "probe = ctypes.CDLL(sys.argv[2])\n"
        "p = _Path(sys.argv[1])\n"
        "assert p.size == 5\n"
        "probe.vantrel_vanish(sys.argv[1].encode(), 1)  # gone after the kind test, before the size query\n"
        "with raises_native('file_size') as info:\n"
        "    p.size\n"
        "assert sys.argv[1] in str(info.value), info.value\n"
        "assert (p.size, p.exists) == (None, False)\n"
        "print('ok')\n"
    )
    probe = PROBES / "libvanishing_file.so"
    result = python(code, str(target), str(probe), str(ROOT / "tests"), env={"LD_PRELOAD": preload(probe)})
    assert result.stdout == "ok\n"


@pytest.fixture(scope="session")
def latin1_locale(tmp_path_factory):
    """A directory holding the locale de_DE.ISO-8859-1, for LOCPATH."""
    if not shutil.which("localedef"):
        pytest.skip("localedef is not installed")
    folder = tmp_path_factory.mktemp("locales")
    made = subprocess.run(["localedef", "-i", "de_DE", "-f", "ISO-8859-1", str(folder / "de_DE.ISO-8859-1")],
                          capture_output=True)
    if not (folder / "de_DE.ISO-8859-1").exists():
        pytest.skip(f"cannot build a Latin-1 locale: {made.stderr.decode(errors='replace')}")
    return folder


def test_ext_ignores_the_locale(python, latin1_locale):
    code = (
        "import ctypes, locale\n"
        "from vantrel.pc import _Path\n"
        "locale.setlocale(locale.LC_CTYPE, 'de_DE.ISO-8859-1')\n"
        "assert ctypes.CDLL(None).tolower(0xC3) == 0xE3  # the C library would rewrite UTF-8 lead bytes\n"
        "print(_Path('/x/f.PD\u00c9').ext, _Path('/x/f.\u4e0a').ext)\n"
    )
    result = python(code, env={"LOCPATH": str(latin1_locale), "PYTHONIOENCODING": "utf-8"})
    assert result.stdout == "pd\u00c9 \u4e0a\n"
