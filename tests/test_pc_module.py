"""The Python interface of vantrel.pc._pc: its names, member order, signatures, the Path type."""

import pytest

import vantrel.pc
from vantrel.pc import _pc
from vantrel.pc.Path import Path as PackagePath

MODULE = "vantrel.pc._pc"
PATH = f"self: {MODULE}._Path"
GETTER = f"(arg0: {MODULE}._Path)"
LOC_GETTER = f"(arg0: {MODULE}._loc)"
SEG_DOC = "seg(self, i: int = -1) -> str\n--\n\nReturns segment of path split by '/'\n(Ignores last slash)"

# What pybind11 puts into every class it registers, besides the members we define.
ADDED_BY_PYBIND11 = {"__doc__", "__module__", "_pybind11_conduit_v1_"}

MEMBERS = {
    "_Path": [
        ("__init__", f"__init__({PATH}, arg0: object) -> None"),
        ("_parse", "_parse(arg0: object) -> str"),
        ("seg", f"seg({PATH}, i: typing.SupportsInt | typing.SupportsIndex = -1) -> str"),
        ("__str__", f"__str__({PATH}) -> str"),
        ("__repr__", f"__repr__({PATH}) -> str"),
        ("path", f"{GETTER} -> str"),
        ("wpath", f"{GETTER} -> str"),
        ("_pure", f"{GETTER} -> pathlib.Path"),
        ("ext", f"{GETTER} -> str"),
        ("size", f"{GETTER} -> int | None"),
        ("name", f"{GETTER} -> str"),
        ("exists", f"{GETTER} -> bool"),
        ("is_file", f"{GETTER} -> bool"),
        ("is_dir", f"{GETTER} -> bool"),
    ],
    "_loc": [
        ("__init__", f"__init__(self: {MODULE}._loc) -> None"),
        ("temp", f"{LOC_GETTER} -> Path"),
        ("script", f"{LOC_GETTER} -> Path"),
        ("cache", f"{LOC_GETTER} -> Path"),
    ],
}


def test_module_names():
    assert {name for name in vars(_pc) if not name.startswith("__")} == {"Path", "_Path", "_loc", "loc"}
    assert type(_pc.loc) is _pc._loc
    assert type(_pc._loc()) is _pc._loc and _pc._loc() is not _pc.loc


def test_package_reexports():
    assert vantrel.pc._Path is _pc._Path
    assert vantrel.pc.loc is _pc.loc
    assert vantrel.pc.Path is PackagePath
    assert set(vantrel.pc.__all__) == {"Path", "_Path", "loc"}


@pytest.mark.parametrize("cls", sorted(MEMBERS))
def test_members_in_order_with_their_signatures(cls):
    klass = getattr(_pc, cls)
    ours = [name for name in vars(klass) if name not in ADDED_BY_PYBIND11]
    assert ours == [name for name, _ in MEMBERS[cls]]
    for name, signature in MEMBERS[cls]:
        member = vars(klass)[name]
        function = member.fget if isinstance(member, property) else getattr(klass, name)
        # Only seg has a docstring of its own; every other doc is the signature alone.
        own = f"\n{SEG_DOC}\n" if name == "seg" else ""
        assert function.__doc__ == f"{signature}\n{own}", name


def test_kinds_of_members():
    assert isinstance(vars(_pc._Path)["_parse"], staticmethod)
    assert _pc._Path._parse("/") == "/"
    properties = {cls: [n for n, m in vars(getattr(_pc, cls)).items() if isinstance(m, property)] for cls in MEMBERS}
    assert properties == {
        "_Path": ["path", "wpath", "_pure", "ext", "size", "name", "exists", "is_file", "is_dir"],
        "_loc": ["temp", "script", "cache"],
    }


@pytest.mark.parametrize(
    "instance, name",
    [(_pc._Path("/"), name) for name, _ in MEMBERS["_Path"][5:]]
    + [(_pc.loc, name) for name, _ in MEMBERS["_loc"][1:]],
)
def test_properties_are_read_only(instance, name):
    assert vars(type(instance))[name].fset is None
    with pytest.raises(AttributeError):
        setattr(instance, name, "/x")


def test_path_type_hint():
    assert _pc.Path.__name__ == "Path"
    assert _pc.Path.__module__ == ".Path"
    assert _pc._Path.__module__ == _pc._loc.__module__ == MODULE
    assert set(vars(_pc.Path)) == ADDED_BY_PYBIND11 | {"__init__"}
    with pytest.raises(TypeError, match=": No constructor defined!$"):
        _pc.Path()


def test_classes_have_only_pybind11s_base():
    bases = {cls.__bases__ for cls in (_pc.Path, _pc._Path, _pc._loc)}
    assert len(bases) == 1
    (base,) = bases.pop()
    assert base.__module__ == "pybind11_builtins"
