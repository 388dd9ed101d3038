"""Native errors reach Python as Exception carrying the C++ stack captured at their throw."""

import gc
import re
import socket
import threading

import pytest

import _foreign
import _probe
import _probe_nodebug
from conftest import PROBES, ROOT, SANITIZED
from helpers import HEADER, TRIGGERS, native_trace, rss_kib

SOURCE = ROOT / "tests" / "probes" / "probe.cpp"


def site(name):
    """The line of the probe marked "throw site: <name>"."""
    for number, text in enumerate(SOURCE.read_text().splitlines(), 1):
        if text.endswith(f"// throw site: {name}"):
            return f"{SOURCE} : {number}"
    raise LookupError(name)


def error_of(call, *args):
    with pytest.raises(BaseException) as info:
        call(*args)
    return info.value


def test_block_format_and_type():
    error = error_of(_probe.throw_runtime_error, "boom")
    assert type(error) is Exception
    text = str(error)
    assert text.startswith(HEADER + "boom\n\n  ")
    assert re.fullmatch(re.escape(HEADER) + r"boom\n(\n  [^\n]+ : \d+)+", text)
    assert native_trace(error)[0] == site("runtime_error")


@pytest.mark.parametrize("narrower", [RuntimeError, ValueError])
def test_narrower_handlers_do_not_catch_it(narrower):
    with pytest.raises(Exception) as info:
        try:
            _probe.throw_runtime_error("boom")
        except narrower:
            pytest.fail("caught as " + narrower.__name__)
    assert type(info.value) is Exception


def test_value_outside_std_exception():
    text = str(error_of(_probe.throw_unknown))
    assert text.startswith(HEADER + "Unknown Exception Type\n\n  ")
    assert native_trace(text)[0] == site("unknown")


def test_every_frame_of_the_throwing_code_innermost_first():
    trace = native_trace(error_of(_probe.recurse_then_throw, 6, "deep"))
    assert trace[7] != site("recursion")
    assert trace[:7] == [site("runtime_error"), site("deepest")] + [site("recursion")] * 5
    assert not any("native/" in line for line in trace)


def test_python_errors_pass_unchanged_and_leave_no_trace_behind():
    def callback():
        raise KeyError("from Python")

    error = error_of(_probe.call, callback)
    assert type(error) is KeyError and error.args == ("from Python",)
    assert native_trace(error_of(_probe.throw_unknown))[0] == site("unknown")


def test_natively_caught_throw_does_not_leak_into_the_next_error():
    _probe.throw_and_catch()
    assert native_trace(error_of(_probe.throw_unknown))[0] == site("unknown")


@pytest.mark.parametrize("call", [_probe.rethrow, _probe.rethrow_exception_ptr])
def test_rethrow_keeps_the_first_throw_site(call):
    error = error_of(call, "again")
    assert str(error).startswith(HEADER + "again\n")
    assert native_trace(error)[0] == site("runtime_error")


def test_error_translated_while_another_unwinds_keeps_both_traces():
    inner = []

    def during_unwinding():
        try:
            _probe.throw_unknown()
        except Exception as error:
            inner.append(str(error))

    outer = error_of(_probe.throw_while_unwinding_calls, during_unwinding, "outer")
    assert native_trace(inner[0])[0] == site("unknown")
    assert str(outer).startswith(HEADER + "outer\n")
    assert native_trace(outer)[:2] == [site("runtime_error"), site("outer")]


def test_exception_carried_from_a_native_thread_has_no_trace_of_another_throw():
    _probe.throw_and_catch()
    assert str(error_of(_probe.throw_on_worker, "worker")) == HEADER + "worker\n"


def test_throw_invisible_to_the_hook_gets_no_trace():
    _probe.throw_and_catch()
    error = error_of(_probe.throw_from_static_runtime, str(PROBES / "libstatic_thrower.so"), "static")
    assert str(error) == HEADER + "static\n"


def test_message_that_is_not_utf8_arrives_escaped():
    error = error_of(_probe.throw_bytes, b"bad \xff\xfe text")
    assert type(error) is Exception
    assert str(error).startswith(HEADER + "bad \\xff\\xfe text\n")


def test_argument_mismatch_is_pybind11_type_error_without_block():
    error = error_of(_probe.throw_runtime_error, 1)
    assert type(error) is TypeError
    assert HEADER not in str(error)


def test_probe_without_line_information_leaves_no_line_of_its_own():
    text = str(error_of(_probe_nodebug.throw_runtime_error, "bare"))
    assert text.startswith(HEADER + "bare\n")
    assert "probe.cpp" not in text
    # The instrumented link may keep the copy of pybind11's dispatcher from native/, which has lines.
    assert SANITIZED or "pybind11" not in text


def test_eight_threads_each_get_their_own_traces():
    failures = []

    def hammer(depth):
        for i in range(1000):
            message = f"depth {depth} round {i}"
            try:
                _probe.recurse_then_throw(depth, message)
            except Exception as error:
                trace = native_trace(error)
                ok = (
                    type(error) is Exception
                    and str(error).startswith(HEADER + message + "\n\n  ")
                    and trace[: depth + 1] == [site("runtime_error"), site("deepest")] + [site("recursion")] * (depth - 1)
                    and trace[depth + 1] != site("recursion")
                )
                if not ok:
                    failures.append(str(error))

    threads = [threading.Thread(target=hammer, args=(depth,)) for depth in range(2, 10)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert failures == []


@pytest.mark.skipif(SANITIZED, reason="ASan keeps freed memory in quarantine")
def test_memory_stays_flat_over_many_translations():
    def fail_many(count):
        for _ in range(count):
            try:
                _probe.recurse_then_throw(3, "again")
            except Exception:
                pass

    fail_many(10_000)
    gc.collect()
    before = rss_kib()
    fail_many(100_000)
    gc.collect()
    assert rss_kib() - before < 2048


def test_foreign_pybind11_module_keeps_its_own_translation():
    import vantrel.pc  # noqa: F401  (any of ours)

    assert list(_foreign.values()) == [1, 2, 3]
    assert type(error_of(_foreign.throw_index_error)) is IndexError
    error = error_of(_foreign.throw_runtime_error, "theirs")
    assert type(error) is RuntimeError and str(error) == "theirs"
    assert type(error_of(_foreign.throw_foreign_error)) is _foreign.ForeignError


def test_line_lookup_never_asks_a_debuginfod_server(python):
    server = socket.socket()
    server.bind(("127.0.0.1", 0))
    server.listen()
    server.settimeout(0.5)
    url = "http://127.0.0.1:%d" % server.getsockname()[1]
    code = (
        "import os, sys; sys.path.insert(0, sys.argv[1]); os.environ['DEBUGINFOD_URLS'] = sys.argv[2]\n"
        "import _probe\n"
        "try: _probe.throw_runtime_error('x')\n"
        "except Exception as e: print(str(e).count(' : '))\n"
    )
    import os
    import subprocess
    import sys

    env = dict(os.environ, DEBUGINFOD_URLS=url)
    out = subprocess.run([sys.executable, "-c", code, str(PROBES), url], env=env, capture_output=True, text=True)
    assert int(out.stdout) > 0, out.stderr
    with pytest.raises(TimeoutError):
        server.accept()
    server.close()


def test_every_module_reports_whichever_was_imported_last(python):
    code = (
        "import importlib, itertools, sys\n"
        "sys.path.insert(0, sys.argv[1])\n"
        "order = sys.argv[2].split(',')\n"
        "for name in order: importlib.import_module(name)\n"
        "for name, trigger in zip(sys.argv[3].split(','), sys.argv[4:]):\n"
        "    m = sys.modules[name]\n"
        "    try: eval(trigger)\n"
        "    except BaseException as e:\n"
        "        ok = type(e) is Exception and str(e).startswith('\\n--- C++ Native Stack Trace ---Unable to cast')\n"
        "        print(name, ok, str(e).count(' : ') > 0)\n"
    )
    names = list(TRIGGERS)
    for order in (names, names[::-1], ["_probe", *names], [*names, "_probe"]):
        modules = [n for n in order if n in TRIGGERS]
        out = python(code, str(PROBES), ",".join(order), ",".join(modules), *[TRIGGERS[n] for n in modules]).stdout
        assert out.splitlines() == [f"{n} True True" for n in modules], order
