#include "native/python.h"

namespace py = pybind11;

namespace vantrel {

py::module_ import_module(py::handle name) {
    PyObject *module = PyImport_GetModule(name.ptr());
    if (module == Py_None) {
        // A None entry halts the import; the import system raises the error for it.
        Py_DECREF(module);
        module = nullptr;
    }
    if (!module) {
        if (PyErr_Occurred()) {
            throw py::error_already_set();
        }
        module = PyImport_Import(name.ptr());
        if (!module) {
            throw py::error_already_set();
        }
    }
    return py::reinterpret_steal<py::module_>(module);
}

py::module_ import_module(const char *name) {
    return import_module(py::str(name));
}

py::handle make_interned(const char *text) {
    PyObject *str = PyUnicode_InternFromString(text);
    if (!str) {
        throw py::error_already_set();
    }
    return str;
}

py::object optional_attr(py::handle object, py::handle name) {
    PyObject *value = nullptr;
    if (PyObject_GetOptionalAttr(object.ptr(), name.ptr(), &value) < 0) {
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::object>(value);
}

}  // namespace vantrel
