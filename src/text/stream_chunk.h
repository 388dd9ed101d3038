// One result of a wrapped stream's read(), as the bytes it adds to the buffer: the UTF-8 form
// of a str, the contents of bytes, bytearray or any other buffer.  A str with lone surrogates
// has no UTF-8 form; it enters as the bytes it escapes (surrogateescape), or with its
// surrogates encoded as they stand (surrogatepass) when they escape none, because the stream
// has already given it up and dropping it would lose data.  Anything else holds no data and
// fails to load, which pybind11 reports as its usual cast error.
#pragma once

#include <pybind11/pybind11.h>

#include <string_view>

namespace vantrel::text {

struct StreamChunk {
    pybind11::object owner;  // the object whose memory `bytes` points into
    std::string_view bytes;
};

}  // namespace vantrel::text

namespace pybind11::detail {

template <>
struct type_caster<vantrel::text::StreamChunk> {
    PYBIND11_TYPE_CASTER(vantrel::text::StreamChunk, const_name("str | bytes"));

    bool load(handle source, bool /*convert*/) {
        PyObject *raw = source.ptr();
        if (PyUnicode_Check(raw)) {
            Py_ssize_t size = 0;
            if (const char *utf8 = PyUnicode_AsUTF8AndSize(raw, &size)) {
                value = {reinterpret_borrow<object>(source), {utf8, static_cast<size_t>(size)}};
                return true;
            }
            PyErr_Clear();
            return hold(escaped_utf8(raw));
        }
        if (PyBytes_Check(raw) || PyByteArray_Check(raw)) {
            return hold(reinterpret_borrow<object>(source));
        }
        if (PyObject_CheckBuffer(raw)) {
            return hold(reinterpret_steal<object>(PyBytes_FromObject(raw)));
        }
        return false;
    }

private:
    static object escaped_utf8(PyObject *text) {
        PyObject *bytes = PyUnicode_AsEncodedString(text, "utf-8", "surrogateescape");
        if (!bytes) {
            PyErr_Clear();
            bytes = PyUnicode_AsEncodedString(text, "utf-8", "surrogatepass");
        }
        return reinterpret_steal<object>(bytes);
    }

    // `bytes` is a bytes or bytearray object, or null after a failed conversion.
    bool hold(object bytes) {
        if (!bytes) {
            PyErr_Clear();
            return false;
        }
        PyObject *raw = bytes.ptr();
        const bool is_bytes = PyBytes_Check(raw);
        const char *data = is_bytes ? PyBytes_AS_STRING(raw) : PyByteArray_AS_STRING(raw);
        const Py_ssize_t size = is_bytes ? PyBytes_GET_SIZE(raw) : PyByteArray_GET_SIZE(raw);
        value = {std::move(bytes), {data, static_cast<size_t>(size)}};
        return true;
    }
};

}  // namespace pybind11::detail
