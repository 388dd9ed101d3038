// vantrel.time._time: stopwatches, time-outs and time stamps.
#include "native/module.h"
#include "time/stopwatch.h"
#include "time/time_stamp.h"
#include "time/timeout.h"

namespace py = pybind11;
using namespace vantrel::time;

namespace {

// int(x) as Python gives it for a float: truncated toward zero, and exact however far
// outside 32 bits (within them it is the 32-bit truncation).
py::int_ toward_zero(double x) {
    PyObject *value = PyLong_FromDouble(x);
    if (!value) {
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::int_>(value);
}

}  // namespace

VANTREL_MODULE(_time, m) {
    py::class_<Stopwatch>(m, "Stopwatch")
        .def(py::init<>())
        .def("start", &Stopwatch::start, py::return_value_policy::reference_internal)
        .def("stop", &Stopwatch::stop, py::return_value_policy::reference_internal)
        .def("__int__", [](const Stopwatch &self) { return toward_zero(self.elapsed()); })
        .def("__float__", &Stopwatch::elapsed)
        .def("__gt__", &Stopwatch::operator>)
        .def("__ge__", &Stopwatch::operator>=)
        .def("__lt__", &Stopwatch::operator<)
        .def("__le__", &Stopwatch::operator<=)
        .def("__eq__", &Stopwatch::operator==)
        .def_property_readonly("elapsed", &Stopwatch::elapsed)
        .def_readonly("running", &Stopwatch::running);

    py::class_<Timeout, Stopwatch>(m, "Timeout")
        .def(py::init<int>(), py::arg("timeout"))
        .def_property_readonly("timed_out", &Timeout::timed_out)
        .def("check", &Timeout::check);

    py::class_<TimeStamp>(m, "TimeStamp")
        .def(py::init<double, std::string_view>(), py::arg("stamp"), py::arg("tz") = default_zone)
        .def("stamp", &TimeStamp::stamp, py::arg("format") = default_format)
        .def_readonly("year", &TimeStamp::year)
        .def_readonly("month", &TimeStamp::month)
        .def_readonly("day", &TimeStamp::day)
        .def_readonly("hour", &TimeStamp::hour)
        .def_readonly("minute", &TimeStamp::minute)
        .def_readonly("second", &TimeStamp::second)
        .def_readonly("decisecond", &TimeStamp::decisecond)
        .def_readonly("centisecond", &TimeStamp::centisecond)
        .def_readonly("millisecond", &TimeStamp::millisecond)
        .def_readonly("microsecond", &TimeStamp::microsecond)
        .def_readonly("unix", &TimeStamp::unix_seconds)
        .def_readonly("ISO", &TimeStamp::iso)
        .def("__float__", [](const TimeStamp &self) { return self.unix_seconds; })
        .def("__int__", [](const TimeStamp &self) { return toward_zero(self.unix_seconds); })
        .def("__repr__", &TimeStamp::repr)
        .def("__eq__", &TimeStamp::operator==)
        .def("__lt__", &TimeStamp::operator<)
        .def("__gt__", &TimeStamp::operator>);
}
