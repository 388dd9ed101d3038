#include "native/python.h"

namespace py = pybind11;

namespace vantrel {

py::module_ import_module(const char *name) {
    PyObject *module = PyImport_GetModule(py::str(name).ptr());
    if (module == Py_None) {
        // None in sys.modules blocks the import: the import system raises its own error.
        Py_DECREF(module);
        module = nullptr;
    }
    if (!module) {
        if (PyErr_Occurred()) {
            throw py::error_already_set();
        }
        module = PyImport_ImportModule(name);
        if (!module) {
            throw py::error_already_set();
        }
    }
    return py::reinterpret_steal<py::module_>(module);
}

py::object optional_attr(py::handle object, const char *name) {
    PyObject *value = nullptr;
    if (PyObject_GetOptionalAttrString(object.ptr(), name, &value) < 0) {
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::object>(value);
}

}  // namespace vantrel
