// vantrel.pc._pc: normalised file-system paths, their live queries and well-known locations.
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include "native/module.h"
#include "pc/locations.h"
#include "pc/normal_path.h"
#include "pc/path_type_hint.h"

namespace py = pybind11;
using vantrel::pc::_loc;
using vantrel::pc::NormalPath;
using vantrel::pc::PathTypeHint;

VANTREL_MODULE(_pc, m) {
    // No constructor: only the name, which read from the package vantrel.pc is the Python
    // class Path of vantrel.pc.Path.
    py::class_<PathTypeHint>(m, "Path").attr("__module__") = ".Path";

    py::class_<NormalPath>(m, "_Path")
        .def(py::init<py::handle>())
        .def_static("_parse", &NormalPath::parse)
        .def("seg", &NormalPath::seg, py::arg("i") = -1,
             "seg(self, i: int = -1) -> str\n--\n\nReturns segment of path split by '/'\n(Ignores last slash)")
        .def("__str__", &NormalPath::path)
        .def("__repr__", &NormalPath::path)
        .def_property_readonly("path", &NormalPath::path)
        .def_property_readonly("wpath", &NormalPath::wpath)
        .def_property_readonly("_pure", &NormalPath::pure)
        .def_property_readonly("ext", &NormalPath::ext)
        .def_property_readonly("size", &NormalPath::size)
        .def_property_readonly("name", &NormalPath::name)
        .def_property_readonly("exists", &NormalPath::exists)
        .def_property_readonly("is_file", &NormalPath::is_file)
        .def_property_readonly("is_dir", &NormalPath::is_dir);

    py::class_<_loc> loc(m, "_loc");
    loc.def(py::init<>())
        .def_property_readonly("temp", &_loc::temp)
        .def_property_readonly("script", &_loc::script)
        .def_property_readonly("cache", &_loc::cache);

    m.attr("loc") = loc();
}
