// vantrel.pc._pc: normalised file-system paths.
#include "native/module.h"
#include "pc/normal_path.h"

namespace py = pybind11;
using vantrel::pc::NormalPath;

VANTREL_MODULE(_pc, m) {
    py::class_<NormalPath>(m, "_Path")
        .def(py::init<py::handle>())
        .def_static("_parse", &NormalPath::parse)
        .def("seg", &NormalPath::seg, py::arg("i") = -1,
             "seg(self, i: int = -1) -> str\n--\n\nReturns segment of path split by '/'\n(Ignores last slash)")
        .def("__str__", &NormalPath::path)
        .def("__repr__", &NormalPath::path)
        .def_property_readonly("path", &NormalPath::path)
        .def_property_readonly("wpath", &NormalPath::wpath);
}
