#include "native/text.h"

namespace py = pybind11;

namespace vantrel {

py::str decode_utf8(std::string_view text) {
    PyObject *str = PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), nullptr);
    if (!str) {
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::str>(str);
}

}  // namespace vantrel
