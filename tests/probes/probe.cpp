// _probe: a test-only module built from native/ like the package's own modules.
#include "native/module.h"

#include <stdexcept>

namespace py = pybind11;

VANTREL_MODULE(_probe, m) {
    // Tests make the body fail by putting a marker into sys.modules before importing.
    py::object failure = py::module_::import("sys").attr("modules").attr("get")("_probe_body_failure");
    if (py::isinstance<py::str>(failure)) {
        const auto how = failure.cast<std::string>();
        if (how == "python") {
            PyErr_SetString(PyExc_LookupError, "probe body failed in Python");
            throw py::error_already_set();
        }
        throw std::runtime_error("probe body failed natively");
    }
    m.attr("loaded") = true;
}
