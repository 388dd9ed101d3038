#include "native/python.h"

namespace py = pybind11;

namespace vantrel {
namespace {

py::object checked(PyObject *result) {
    if (!result) {
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::object>(result);
}

py::module_ import_module(py::handle name) {
    PyObject *module = PyImport_GetModule(name.ptr());
    if (module == Py_None) {
        // None in sys.modules blocks the import: the import system raises its own error.
        Py_DECREF(module);
        module = nullptr;
    }
    if (!module) {
        if (PyErr_Occurred()) {
            throw py::error_already_set();
        }
        module = PyImport_Import(name.ptr());
    }
    return py::reinterpret_steal<py::module_>(checked(module).release());
}

py::object optional_attr(py::handle object, py::handle name) {
    PyObject *value = nullptr;
    if (PyObject_GetOptionalAttr(object.ptr(), name.ptr(), &value) < 0) {
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::object>(value);
}

}  // namespace

Name::Name(const char *text) : str_(checked(PyUnicode_InternFromString(text)).release().ptr()) {}

py::module_ import_module(const Name &name) { return import_module(name.str()); }

py::module_ import_module(const char *name) { return import_module(py::str(name)); }

py::object optional_attr(py::handle object, const Name &name) { return optional_attr(object, name.str()); }

py::object optional_attr(py::handle object, const char *name) { return optional_attr(object, py::str(name)); }

py::object call_method(py::handle object, const Name &name, py::handle argument) {
    return checked(PyObject_CallMethodOneArg(object.ptr(), name.str().ptr(), argument.ptr()));
}

}  // namespace vantrel
