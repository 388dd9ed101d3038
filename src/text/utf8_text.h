// The text argument of UnconsumingIO.write: a str as its UTF-8 form, or a bytearray byte for
// byte, but never bytes.  pybind11's std::string caster takes bytes as well, in both overload
// passes, which would leave the bytes overload of write unreachable.
#pragma once

#include <pybind11/pybind11.h>

#include <string_view>

namespace vantrel::text {

// Borrowed from the argument: valid while the bound call runs and no Python code has
// changed a bytearray.
struct Utf8Text {
    std::string_view utf8;
};

}  // namespace vantrel::text

namespace pybind11::detail {

template <>
struct type_caster<vantrel::text::Utf8Text> {
    PYBIND11_TYPE_CASTER(vantrel::text::Utf8Text, const_name("str"));

    bool load(handle source, bool /*convert*/) {
        PyObject *raw = source.ptr();
        if (PyUnicode_Check(raw)) {
            Py_ssize_t size = 0;
            const char *utf8 = PyUnicode_AsUTF8AndSize(raw, &size);
            if (!utf8) {  // lone surrogates: no UTF-8 form, so this is no text
                PyErr_Clear();
                return false;
            }
            value.utf8 = {utf8, static_cast<size_t>(size)};
            return true;
        }
        if (PyByteArray_Check(raw)) {
            value.utf8 = {PyByteArray_AS_STRING(raw), static_cast<size_t>(PyByteArray_GET_SIZE(raw))};
            return true;
        }
        return false;
    }
};

}  // namespace pybind11::detail
