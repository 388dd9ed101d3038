"""UnconsumingIO: reads that do not consume, sizes, what streams yield, the write overloads."""

import array
import decimal
import gc
import io
import sys
import weakref

import pytest

import vantrel.text.quelm as quelm
from helpers import raises_native
from vantrel.text import UnconsumingIO

CAST_NONE = (
    "Unable to cast Python instance of type <class 'NoneType'> to C++ type '?' "
    "(#define PYBIND11_DETAILED_ERROR_MESSAGES or compile in debug mode for details)"
)


def cast_error(kind):
    return f"Unable to cast Python instance of type {kind} to C++ type '?'"


class Chunks:
    """A stream whose read() yields the given results one per call, then empty text."""

    def __init__(self, *results):
        self.results = list(results)
        self.written = []

    def read(self):
        return self.results.pop(0) if self.results else ""

    def write(self, text):
        self.written.append(text)


class Text(str):
    pass


class Raw(bytes):
    pass


@pytest.mark.parametrize(
    "size, expected",
    [
        (None, "abc"),
        (0, ""),
        (2, "ab"),
        (3, "abc"),
        (10, "abc"),
        (True, "a"),
        (False, ""),
        (decimal.Decimal("2.9"), "ab"),
        (2**64 - 1, "abc"),
    ],
)
def test_sizes_count_bytes_from_the_start(size, expected):
    stream = UnconsumingIO("abc")
    assert stream.read(size) == expected
    assert stream.read(size=size) == expected
    assert stream.read() == "abc"


def test_reads_return_everything_read_so_far():
    stream = UnconsumingIO(Chunks("ab", b"cd", "", bytearray(b"e")))
    assert [stream.read(), stream.read(1), stream.read(), stream.read(3), stream.read(), stream.read()] == [
        "ab",
        "a",
        "abcd",
        "abc",
        "abcde",
        "abcde",
    ]


@pytest.mark.parametrize("source", [io.StringIO(), io.BytesIO(), ""])
def test_a_stream_with_nothing_to_yield_reads_empty(source):
    assert UnconsumingIO(source).read() == ""


def test_a_str_is_wrapped_in_a_string_stream_and_other_objects_are_not():
    assert UnconsumingIO(Text("sub")).read() == "sub"
    with pytest.raises(AttributeError, match="'bytes' object has no attribute 'read'"):
        UnconsumingIO(b"abc").read()
    with pytest.raises(AttributeError, match="'NoneType' object has no attribute 'read'"):
        UnconsumingIO(None).read()
    with pytest.raises(AttributeError, match="'NoneType' object has no attribute 'write'"):
        UnconsumingIO(None).write("x")


def test_writes_go_to_the_stream_at_its_own_position():
    before = UnconsumingIO("hello")
    before.write("J")
    assert before.read() == "ello"

    after = UnconsumingIO("ab")
    assert after.read() == "ab"
    after.write("cd")
    assert after.read() == "ab"

    target = io.StringIO()
    empty = UnconsumingIO(target)
    empty.write("x")
    assert target.getvalue() == "x"
    assert empty.read() == ""


def test_non_ascii_is_counted_in_utf8_bytes():
    stream = UnconsumingIO("é€😀")  # 2, 3 and 4 bytes
    assert [stream.read(n) for n in (2, 5, 9, 100)] == ["é", "é€", "é€😀", "é€😀"]
    for cut in (1, 3, 4, 6, 7, 8):
        with pytest.raises(UnicodeDecodeError, match="unexpected end of data"):
            stream.read(cut)
    assert stream.read() == "é€😀"


@pytest.mark.parametrize(
    "size, kind",
    [
        (-1, "<class 'int'>"),
        (2**64, "<class 'int'>"),
        (2.0, "<class 'float'>"),
        (type("Real", (float,), {})(1.0), "<class 'test_text.Real'>"),
        ("3", "<class 'str'>"),
        (b"3", "<class 'bytes'>"),
        (object(), "<class 'object'>"),
        (1j, "<class 'complex'>"),
        (decimal.Decimal("-1"), "<class 'decimal.Decimal'>"),
        (decimal.Decimal("NaN"), "<class 'decimal.Decimal'>"),
        (type("Raising", (), {"__int__": lambda self: 1 // 0})(), "<class 'test_text.Raising'>"),
    ],
)
def test_a_refused_size_keeps_what_the_stream_yielded(size, kind):
    stream = UnconsumingIO(Chunks("ab", "cd"))
    assert stream.read(0) == ""
    with raises_native(cast_error(kind)):
        stream.read(size)
    assert stream.read() == "abcd"


def test_a_result_holding_no_data_is_a_cast_error_and_leaves_the_buffer():
    stream = UnconsumingIO(Chunks("ab", None, 5, 1.5, [1, 2], object(), "cd"))
    assert stream.read() == "ab"
    with raises_native(CAST_NONE):
        stream.read()
    for kind in ("<class 'int'>", "<class 'float'>", "<class 'list'>", "<class 'object'>"):
        with raises_native(cast_error(kind)):
            stream.read()
    assert stream.read() == "abcd"


@pytest.mark.parametrize(
    "result, held",
    [
        ("café", "café".encode()),
        (Text("sub"), b"sub"),
        (b"caf\xc3\xa9", b"caf\xc3\xa9"),
        (Raw(b"raw"), b"raw"),
        (bytearray(b"array"), b"array"),
        (memoryview(b"view"), b"view"),
        (memoryview(b"a-b-c")[::2], b"abc"),
        (array.array("B", b"numbers"), b"numbers"),
    ],
)
def test_what_a_stream_yields_enters_as_its_bytes(result, held):
    assert UnconsumingIO(Chunks(result)).read() == held.decode()


@pytest.mark.parametrize(
    "result, held",
    [
        (b"ok\xff", b"ok\xff"),
        ("ok\udcff", b"ok\xff"),  # surrogateescape, as sys.stdin yields for bytes that are not UTF-8
        ("ok\ud800", b"ok\xed\xa0\x80"),  # surrogatepass: escapes no byte
        ("ok\udcff\ud800", b"ok\xed\xb3\xbf\xed\xa0\x80"),
    ],
)
def test_bytes_that_are_not_utf8_are_kept_and_fail_only_the_reads_covering_them(result, held):
    stream = UnconsumingIO(Chunks(result, "!"))
    with pytest.raises(UnicodeDecodeError) as info:
        stream.read()
    assert info.value.object == held
    assert stream.read(2) == "ok"
    with pytest.raises(UnicodeDecodeError) as info:
        stream.read()
    assert info.value.object == held + b"!"


def test_errors_of_the_stream_pass_through_and_leave_the_buffer():
    class Failing(Chunks):
        def read(self):
            result = super().read()
            if isinstance(result, BaseException):
                raise result
            return result

    stream = UnconsumingIO(Failing("ab", LookupError("gone"), KeyboardInterrupt(), "cd"))
    assert stream.read() == "ab"
    with pytest.raises(LookupError, match="gone"):
        stream.read()
    with pytest.raises(KeyboardInterrupt):
        stream.read()
    assert stream.read() == "abcd"

    closed = io.StringIO("x")
    closed.close()
    with pytest.raises(ValueError, match="closed file"):
        UnconsumingIO(closed).read()
    with pytest.raises(TypeError, match="a bytes-like object is required, not 'str'"):
        UnconsumingIO(io.BytesIO()).write("x")


class Decoding(bytes):
    """A bytes subclass whose own decode() answers `result`."""

    def decode(self, *args):
        self.args = args
        return self.result


class SpellingArray(bytearray):
    def decode(self, *args):
        raise AssertionError("the text overload takes a bytearray's bytes as they are")


def decoding(result):
    data = Decoding(b"ignored")
    data.result = result
    return data


@pytest.mark.parametrize(
    "argument, written",
    [
        ("x", "x"),
        ("é€😀", "é€😀"),
        (Text("sub"), "sub"),
        ("", ""),
        (b"caf\xc3\xa9", "café"),
        (Raw(b"raw"), "raw"),
        (decoding("own"), "own"),
        (decoding(Text("own sub")), "own sub"),
        (decoding(42), "42"),
        (bytearray(b"caf\xc3\xa9"), "café"),
        (SpellingArray(b"as is"), "as is"),
    ],
    ids=repr,  # pytest would name a bytes parameter through its overridden decode()
)
def test_write_hands_the_stream_a_str(argument, written):
    target = Chunks()
    UnconsumingIO(target).write(argument)
    assert target.written == [written]
    assert type(target.written[0]) is str
    if isinstance(argument, Decoding):
        assert argument.args == ("utf-8", "strict")


@pytest.mark.parametrize("argument", [b"a\xffb", bytearray(b"a\xffb"), Raw(b"\xc3")])
def test_write_of_bytes_that_are_not_utf8_raises_and_writes_nothing(argument):
    target = Chunks()
    with pytest.raises(UnicodeDecodeError):
        UnconsumingIO(target).write(argument)
    assert target.written == []


def test_write_of_a_decode_without_utf8_form_is_a_cast_error():
    target = Chunks()
    with raises_native(cast_error("<class 'str'>")):
        UnconsumingIO(target).write(decoding("\ud800"))
    assert target.written == []


WRITE_SIGNATURES = (
    "    1. (self: vantrel.text.quelm.UnconsumingIO, arg0: str) -> None\n"
    "    2. (self: vantrel.text.quelm.UnconsumingIO, arg0: bytes) -> None\n"
)


@pytest.mark.parametrize(
    "call",
    [
        lambda s: s.write(1),
        lambda s: s.write(None),
        lambda s: s.write(),
        lambda s: s.write("\ud800"),
        lambda s: s.write(memoryview(b"x")),
        lambda s: s.write("x", "y"),
        lambda s: s.write(arg0="x"),
    ],
)
def test_write_without_a_matching_overload_lists_both(call):
    target = Chunks()
    with pytest.raises(TypeError) as info:
        call(UnconsumingIO(target))
    assert str(info.value).startswith(
        "write(): incompatible function arguments. The following argument types are supported:\n" + WRITE_SIGNATURES
    )
    assert target.written == []


@pytest.mark.parametrize(
    "call",
    [
        lambda: UnconsumingIO(),
        lambda: UnconsumingIO("a", "b"),
        lambda: UnconsumingIO(source="a"),
        lambda: UnconsumingIO("a").read(1, 2),
        lambda: UnconsumingIO("a").read(n=1),
    ],
)
def test_other_mismatched_arguments_are_type_errors(call):
    with pytest.raises(TypeError, match="incompatible (function|constructor) arguments"):
        call()


def test_python_interface():
    assert [name for name in dir(quelm) if not name.startswith("__")] == ["UnconsumingIO"]
    assert quelm.__doc__ is None
    assert UnconsumingIO.__module__ == "vantrel.text.quelm"
    assert UnconsumingIO.__qualname__ == UnconsumingIO.__name__ == "UnconsumingIO"
    assert UnconsumingIO.__doc__ is None
    assert UnconsumingIO.__init__.__doc__ == "__init__(self: vantrel.text.quelm.UnconsumingIO, stream: object) -> None\n"
    assert UnconsumingIO.read.__doc__ == "read(self: vantrel.text.quelm.UnconsumingIO, size: object = None) -> str\n"
    assert UnconsumingIO.write.__doc__ == (
        "write(*args, **kwargs)\nOverloaded function.\n\n"
        "1. write(self: vantrel.text.quelm.UnconsumingIO, arg0: str) -> None\n\n"
        "2. write(self: vantrel.text.quelm.UnconsumingIO, arg0: bytes) -> None\n"
    )
    public = {name for name in vars(UnconsumingIO) if not name.startswith("_") or name == "__init__"}
    assert public == {"__init__", "write", "read"}
    assert UnconsumingIO(stream=io.StringIO("kw")).read(size=1) == "k"
    with pytest.raises(AttributeError):
        UnconsumingIO("a").anything = 1


def test_a_subclass_behaves_like_the_class():
    class Peeking(UnconsumingIO):
        def peek(self):
            return self.read(1)

    stream = Peeking("xyz")
    assert (stream.peek(), stream.read(), stream.read(size=2)) == ("x", "xyz", "xy")
    stream.extra = 1  # a Python subclass has a dictionary of its own
    assert isinstance(stream, UnconsumingIO)


def test_the_stream_is_owned_once_and_never_closed():
    stream = io.StringIO("data")
    alive = weakref.ref(stream)
    count = sys.getrefcount(stream)
    wrapper = UnconsumingIO(stream)
    assert sys.getrefcount(stream) == count + 1
    wrapper.read()
    wrapper.write("more")
    del wrapper
    gc.collect()
    assert sys.getrefcount(stream) == count
    assert not stream.closed
    del stream
    assert alive() is None


def test_reads_and_writes_keep_no_reference_to_their_objects():
    chunk = Raw(b"chunk")
    text = "written text é"
    data = b"written bytes"
    counts = [sys.getrefcount(o) for o in (chunk, text, data)]
    stream = UnconsumingIO(Chunks(*[chunk] * 1000))
    for _ in range(1000):
        stream.read(0)
        stream.write(text)
        stream.write(data)
    del stream
    assert [sys.getrefcount(o) for o in (chunk, text, data)] == counts


def test_the_class_is_registered_once_per_interpreter(python):
    code = (
        "import importlib.util, vantrel.text.quelm as q\n"
        "spec = importlib.util.spec_from_file_location('quelm', q.__file__)\n"
        "try:\n"
        "    spec.loader.exec_module(importlib.util.module_from_spec(spec))\n"
        "except ImportError as e:\n"
        "    print(e)\n"
    )
    assert 'type "UnconsumingIO" is already registered' in python(code).stdout


def test_python_code_reading_the_same_object_during_a_read():
    class Reentrant(Chunks):
        def read(self):
            result = super().read()
            if result == "outer":
                wrapper.read(0)  # takes "inner" first
            return result

    class Size:
        def __int__(self):
            for _ in range(20):  # grows the buffer, so any view taken before would dangle
                wrapper.read(0)
            return 15

    wrapper = UnconsumingIO(Reentrant("outer", "inner", *["x" * 4096] * 20))
    assert wrapper.read(0) == ""
    assert wrapper.read(Size()) == "innerouterxxxxx"
    assert len(wrapper.read()) == 10 + 20 * 4096
