"""loc and _loc: the temporary, script and cache locations, made by the package's Path class."""

import os
import subprocess
import sys
import tempfile
import types

import pytest

from helpers import raises_native
from vantrel.pc import Path, loc
from vantrel.pc._pc import _loc

PATH_MODULE = sys.modules["vantrel.pc.Path"]


@pytest.fixture
def made(monkeypatch):
    """Stand in for the package's Path class; return the log of what the locations did with it."""
    log = []

    class Stub:
        def __init__(self, text):
            self.text = text
            log.append(("Path", text, self))

        def child(self, name):
            kid = object.__new__(Stub)
            kid.text = f"{self.text}+{name}"
            log.append(("child", name, kid))
            return kid

        def mkdir(self):
            log.append(("mkdir", self.text, self))
            return "ignored"

    monkeypatch.setattr(PATH_MODULE, "Path", Stub)
    return log


@pytest.fixture
def main(monkeypatch):
    """Install a stand-in for __main__ with the given __file__ (or none)."""
    def install(*file):
        module = types.ModuleType("__main__")
        if file:
            module.__file__ = file[0]
        monkeypatch.setitem(sys.modules, "__main__", module)

    return install


def test_temp_is_the_interpreters_temporary_directory(tmp_path, monkeypatch):
    assert type(loc.temp) is Path
    assert loc.temp.path == _loc().temp.path == os.path.join(tempfile.gettempdir(), "")
    monkeypatch.setattr(tempfile, "tempdir", str(tmp_path))
    assert loc.temp.path == f"{tmp_path}/"


def test_temp_ignores_a_drive_folder_in_the_working_directory(tmp_path, monkeypatch):
    # On Linux "E:/__temp__/" is relative: whoever creates it where a program runs must not get its files.
    monkeypatch.chdir(tmp_path)
    (tmp_path / "E:" / "__temp__").mkdir(parents=True)
    assert loc.temp.path == os.path.join(tempfile.gettempdir(), "")


def test_temp_hands_gettempdirs_text_to_the_class(made, monkeypatch):
    for value, text in [("/some/where", "/some/where"), (b"/b", "b'/b'")]:
        monkeypatch.setattr(tempfile, "gettempdir", lambda v=value: v)
        made.clear()
        result = loc.temp
        assert [entry[:2] for entry in made] == [("Path", text)]
        assert result is made[0][2]  # unchanged, not wrapped


def test_temp_takes_gettempdir_before_the_class(monkeypatch):
    monkeypatch.setitem(sys.modules, "vantrel.pc.Path", None)
    monkeypatch.delattr(tempfile, "gettempdir")
    with pytest.raises(AttributeError, match="gettempdir"):
        loc.temp


@pytest.mark.parametrize(
    "file, directory",
    [
        ("/srv/tool/run.py", "/srv/tool"),
        ("/srv/tool//run.py", "/srv/tool"),
        ("/srv/tool/", "/srv/tool"),
        ("/run.py", "/"),
        ("rel/dir/run.py", "rel/dir"),
        ("run.py", ""),  # a bare name has an empty parent
        ("/srv/a\\b/run.py", "/srv/a\\b"),
        (b"/srv/t\xc3\xa9/run.py", "/srv/t\u00e9"),
    ],
)
def test_script_is_the_parent_of_main_file(made, main, file, directory):
    main(file)
    result = loc.script
    assert [entry[:2] for entry in made] == [("Path", directory)]
    assert result is made[0][2]


def test_script_without_main_file_is_the_working_directory(made, main, tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    main()
    loc.script
    assert [entry[:2] for entry in made] == [("Path", str(tmp_path))]


def test_script_of_a_main_whose_file_raises(made, monkeypatch, tmp_path):
    class Main:
        def __init__(self, error):
            self.error = error

        @property
        def __file__(self):
            raise self.error

    monkeypatch.chdir(tmp_path)
    monkeypatch.setitem(sys.modules, "__main__", Main(AttributeError("absent")))
    loc.script  # only AttributeError means "no __file__"
    assert [entry[:2] for entry in made] == [("Path", str(tmp_path))]
    monkeypatch.setitem(sys.modules, "__main__", Main(ValueError("broken")))
    with pytest.raises(ValueError, match="broken"):
        loc.script


def test_script_failures(main, monkeypatch, tmp_path):
    for value in (None, 3):
        main(value)
        with raises_native("Unable to cast Python instance of type"):
            loc.script
    main(b"/srv/\xff/run.py")
    with pytest.raises(UnicodeDecodeError):
        loc.script
    main()
    gone = tmp_path / "gone"
    gone.mkdir()
    monkeypatch.chdir(gone)
    gone.rmdir()
    with raises_native("current_path()"):
        loc.script
    monkeypatch.delitem(sys.modules, "__main__")
    with pytest.raises(KeyError, match="__main__"):
        loc.script


def test_cache_is_script_child_made_on_every_read(made, main):
    main("/srv/tool/run.py")
    first = loc.cache
    second = _loc().cache
    assert [entry[:2] for entry in made] == [
        ("Path", "/srv/tool"),
        ("child", "/__pycache__/"),
        ("mkdir", "/srv/tool+/__pycache__/"),
    ] * 2
    assert first is made[1][2] and second is made[4][2]


def test_cache_with_the_package_class(main, tmp_path):
    main(str(tmp_path / "run.py"))
    cache = loc.cache
    assert type(cache) is Path
    assert cache.path == f"{tmp_path}/__pycache__"  # made from the text before the folder existed
    assert (tmp_path / "__pycache__").is_dir()
    assert loc.cache.path == f"{tmp_path}/__pycache__/"


def test_the_class_is_resolved_afresh_on_every_read(monkeypatch):
    assert type(loc.script) is Path

    class Other(Path):
        pass

    monkeypatch.setattr(PATH_MODULE, "Path", Other)
    assert type(loc.script) is Other


@pytest.mark.parametrize("name", ["temp", "script", "cache"])
def test_errors_of_the_class_pass_unchanged(name, monkeypatch):
    monkeypatch.setitem(sys.modules, "vantrel.pc.Path", None)
    with pytest.raises(ModuleNotFoundError, match="vantrel.pc.Path"):
        getattr(loc, name)
    monkeypatch.setitem(sys.modules, "vantrel.pc.Path", types.ModuleType("vantrel.pc.Path"))
    with pytest.raises(AttributeError, match="Path"):
        getattr(loc, name)


def test_cache_errors_pass_unchanged(monkeypatch):
    class NoChild:
        def __init__(self, text):
            pass

    class ReadOnly(NoChild):
        def child(self, name):
            return self

        def mkdir(self):
            raise PermissionError("read-only")

    monkeypatch.setattr(PATH_MODULE, "Path", NoChild)
    with pytest.raises(AttributeError, match="child"):
        loc.cache
    monkeypatch.setattr(PATH_MODULE, "Path", ReadOnly)
    with pytest.raises(PermissionError, match="read-only"):
        loc.cache


def test_script_and_cache_of_a_program(tmp_path):
    tool = tmp_path / "tool"
    tool.mkdir()
    (tool / "run.py").write_text(
        "import os\n"
        "from vantrel.pc import Path, loc\n"
        "print(type(loc.script) is Path, loc.script.path)\n"
        "print(loc.cache.path, os.path.isdir(loc.cache.path))\n"
    )
    # Started from elsewhere, so that the script's folder is not the working directory.
    result = subprocess.run([sys.executable, "tool/run.py"], cwd=tmp_path, capture_output=True, text=True)
    assert result.returncode == 0, result.stderr
    # The first cache is made from the text before mkdir, when the folder was not yet there.
    assert result.stdout.splitlines() == [f"True {tool}/", f"{tool}/__pycache__ True"]


def test_script_of_dash_c_is_the_working_directory(python, tmp_path):
    result = python("from vantrel.pc import loc; print(loc.script.path, loc.cache.path)", cwd=tmp_path)
    assert result.stdout == f"{tmp_path}/ {tmp_path}/__pycache__\n"
    assert (tmp_path / "__pycache__").is_dir()
