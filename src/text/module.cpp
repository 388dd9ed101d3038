// vantrel.text.quelm: streams whose reads do not consume.
#include "native/module.h"
#include "text/unconsuming_io.h"

namespace py = pybind11;
using vantrel::text::UnconsumingIO;
using vantrel::text::Utf8Text;

VANTREL_MODULE(quelm, m) {
    // The text overload comes first; its caster refuses bytes, which reach the second.
    py::class_<UnconsumingIO>(m, "UnconsumingIO")
        .def(py::init<py::object>(), py::arg("stream"))
        .def("write", py::overload_cast<Utf8Text>(&UnconsumingIO::write, py::const_))
        .def("write", py::overload_cast<const py::bytes &>(&UnconsumingIO::write, py::const_))
        .def("read", &UnconsumingIO::read, py::arg("size") = py::none());
}
