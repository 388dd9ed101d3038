"""The frame every module is loaded through: names, version gate, re-import, failing bodies."""

import importlib
import os
import subprocess
import sys

import pytest

from conftest import PROBES, preload
from helpers import TRIGGERS

MODULES = ["vantrel.pc._pc", "vantrel.time._time", "vantrel.text.quelm"]


@pytest.mark.parametrize("name", MODULES)
def test_module_is_named_from_its_import_spec(name):
    module = importlib.import_module(name)
    assert module.__name__ == name
    assert module.__doc__ is None


@pytest.mark.parametrize("name", MODULES)
def test_reimport_returns_the_same_module_and_classes(name):
    module = importlib.import_module(name)
    classes = {k: v for k, v in vars(module).items() if isinstance(v, type)}
    del sys.modules[name]
    try:
        again = importlib.import_module(name)
    finally:
        sys.modules[name] = module
    assert again is module
    assert {k: v for k, v in vars(again).items() if isinstance(v, type)} == classes


def import_under_version(version, module):
    """Import `module` in a fresh interpreter whose Py_GetVersion reports `version`;
    return the ImportError's text, or None when the import succeeds."""
    code = (
        "import ctypes, importlib, sys\n"
        "ctypes.pythonapi.Py_GetVersion.restype = ctypes.c_char_p\n"
        "if ctypes.pythonapi.Py_GetVersion().decode() != sys.argv[1]: sys.exit(77)\n"
        "try:\n"
        "    importlib.import_module(sys.argv[2])\n"
        "except ImportError as e:\n"
        "    print(e, end='')\n"
    )
    env = dict(os.environ, VANTREL_FAKE_VERSION=version, LD_PRELOAD=preload(PROBES / "libfake_version.so"))
    result = subprocess.run([sys.executable, "-c", code, version, module], env=env, capture_output=True, text=True)
    if result.returncode == 77:
        pytest.skip("this interpreter's Py_GetVersion cannot be interposed")
    assert result.returncode == 0, result.stderr
    return result.stdout or None


@pytest.mark.parametrize("name", MODULES)
@pytest.mark.parametrize("version", ["3.12.4 (main)", "3.130.0 (fake)", "3.1", "4.13.0"])
def test_version_gate_refuses_other_interpreters(name, version):
    assert import_under_version(version, name) == (
        "Python version mismatch: module was compiled for Python 3.13, "
        f"but the interpreter version is incompatible: {version}."
    )


@pytest.mark.parametrize("name", MODULES)
def test_version_gate_accepts_any_3_13(name):
    assert import_under_version("3.13.9+ (later)", name) is None


FAILING_BODY = """
import importlib, sys
sys.path.insert(0, sys.argv[1])

def fail_in_python():
    raise LookupError("probe body failed in Python")

def import_failing(how):
    sys.modules["_probe_body_failure"] = how
    try:
        importlib.import_module("_probe")
    except ImportError as error:
        return error
    finally:
        del sys.modules["_probe_body_failure"]
"""


def test_python_error_in_body_is_import_error_with_cause(python):
    code = FAILING_BODY + (
        "e = import_failing(fail_in_python)\n"
        "print(repr(e), repr(e.__cause__), e.__context__ is e.__cause__, e.__cause__.__traceback__ is not None)\n"
    )
    assert python(code, str(PROBES)).stdout == (
        "ImportError('initialization failed') LookupError('probe body failed in Python') True True\n"
    )


def test_native_error_in_body_is_import_error_with_its_message(python):
    code = FAILING_BODY + "e = import_failing('native'); print(repr(e), e.__cause__)\n"
    assert python(code, str(PROBES)).stdout == "ImportError('probe body failed natively') None\n"


def test_failed_body_is_retried_by_the_next_import(python):
    code = FAILING_BODY + (
        "first = import_failing(fail_in_python)\n"
        "module = importlib.import_module('_probe')\n"
        "print(first, module.loaded)\n"
    )
    assert python(code, str(PROBES)).stdout == "initialization failed True\n"


def test_a_failing_path_class_module_is_not_involved_at_import(python):
    # The body of _pc only names the Python Path class; a vantrel.pc.Path whose import fails
    # breaks the package and the locations, with its own error, and nothing once it mends.
    code = (
        "import sys\n"
        "class Failing:\n"
        "    def find_spec(self, name, path=None, target=None):\n"
        "        if name == 'vantrel.pc.Path': raise LookupError('stub Path fails')\n"
        "sys.meta_path.insert(0, Failing())\n"
        "try: import vantrel.pc\n"
        "except LookupError as e: print('package:', e)\n"
        "pc = sys.modules['vantrel.pc._pc']\n"
        "print('module:', pc._Path('/').path)\n"
        "try: pc.loc.temp\n"
        "except LookupError as e: print('loc:', e)\n"
        "sys.meta_path.pop(0)\n"
        "import vantrel.pc\n"
        "print('retry:', sys.modules['vantrel.pc._pc'] is pc, type(pc.loc.temp) is vantrel.pc.Path)\n"
    )
    assert python(code).stdout.splitlines() == [
        "package: stub Path fails", "module: /", "loc: stub Path fails", "retry: True True"]


# Runs in a fresh interpreter: imports module argv[1] in the main interpreter (before or
# after the sub-interpreter, as argv[3] says) and twice in a sub-interpreter of kind argv[2];
# prints what each import in the sub-interpreter gave and, for each interpreter that has the
# module, whether the native error argv[4] still carries the stack trace block with frames.
SUBINTERPRETER = r"""
import _interpreters, sys
name, kind, order, trigger = sys.argv[1:5]
check = (
    "import importlib\n"
    f"m = importlib.import_module({name!r})\n"
    f"try: {trigger}\n"
    "except Exception as e: print(type(e).__name__, str(e).startswith('\\n--- C++ Native Stack Trace ---'), ' : ' in str(e))\n"
)
if order == "main first":
    exec(check)
interp = _interpreters.create(kind)
for _ in range(2):
    err = _interpreters.exec(interp, check)
    print("sub:", err and f"{err.type.__name__}: {err.msg}")
print("sub still runs:", _interpreters.exec(interp, "x = 1") is None)
_interpreters.destroy(interp)
exec(check)
"""
TRANSLATED = "Exception True True"


@pytest.mark.parametrize("order", ["sub first", "main first"])
@pytest.mark.parametrize("name", MODULES)
def test_isolated_subinterpreters_refuse_and_leave_the_main_one_whole(python, name, order):
    out = python(SUBINTERPRETER, name, "isolated", order, TRIGGERS[name]).stdout.splitlines()
    refusal = f"sub: ImportError: module {name} does not support loading in subinterpreters"
    before = [TRANSLATED] if order == "main first" else []
    assert out == before + [refusal, refusal, "sub still runs: True", TRANSLATED]


# A legacy sub-interpreter does not enforce the declaration and loads the module; each
# interpreter must still get the module's own translation, whichever loaded the library.
@pytest.mark.parametrize("order", ["sub first", "main first"])
@pytest.mark.parametrize("name", MODULES)
def test_legacy_subinterpreters_load_and_translate_like_the_main_one(python, name, order):
    out = python(SUBINTERPRETER, name, "legacy", order, TRIGGERS[name]).stdout.splitlines()
    before = [TRANSLATED] if order == "main first" else []
    assert out == before + [TRANSLATED, "sub: None"] * 2 + ["sub still runs: True", TRANSLATED]
