#include "time/time_stamp.h"

#include <datetime.h>

#include "native/python.h"
#include "native/text.h"

namespace py = pybind11;

namespace vantrel::time {
namespace {

// datetime.fromtimestamp(stamp, tz=zone) in one vectorcall.
py::object from_timestamp(py::handle datetime, double stamp, py::handle zone) {
    static const py::handle keywords = py::make_tuple(interned<"tz">()).release();
    const py::float_ seconds(stamp);
    PyObject *stack[] = {datetime.ptr(), seconds.ptr(), zone.ptr()};
    PyObject *dt = PyObject_VectorcallMethod(interned<"fromtimestamp">().ptr(), stack, 2, keywords.ptr());
    if (!dt) {
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::object>(dt);
}

struct CalendarFields {
    int year, month, day, hour, minute, second, microsecond;
};

int int_attr(py::handle object, py::handle name) {
    return object.attr(name).cast<int>();
}

// Whether `object` is a datetime exactly, not a subclass, by datetime's C API. The API is
// fetched at first use; while it cannot be had (sys.modules["datetime"] replaced by one
// without it) every datetime counts as inexact and is read through its attributes.
bool is_exact_datetime(py::handle object) {
    if (!PyDateTimeAPI) {
        PyDateTime_IMPORT;
        if (!PyDateTimeAPI) {
            PyErr_Clear();
            return false;
        }
    }
    return PyDateTime_CheckExact(object.ptr());
}

CalendarFields calendar_fields(py::handle dt) {
    if (is_exact_datetime(dt)) {
        // What a datetime's own getters return, without an attribute lookup for each.
        PyObject *d = dt.ptr();
        return {PyDateTime_GET_YEAR(d), PyDateTime_GET_MONTH(d), PyDateTime_GET_DAY(d),
                PyDateTime_DATE_GET_HOUR(d), PyDateTime_DATE_GET_MINUTE(d), PyDateTime_DATE_GET_SECOND(d),
                PyDateTime_DATE_GET_MICROSECOND(d)};
    }
    return {int_attr(dt, interned<"year">()),   int_attr(dt, interned<"month">()),
            int_attr(dt, interned<"day">()),    int_attr(dt, interned<"hour">()),
            int_attr(dt, interned<"minute">()), int_attr(dt, interned<"second">()),
            int_attr(dt, interned<"microsecond">())};
}

}  // namespace

TimeStamp::TimeStamp(double stamp, std::string_view tz) : unix_seconds(stamp) {
    py::object datetime = import_module(interned<"datetime">()).attr(interned<"datetime">());
    py::object zone = call_method(import_module(interned<"pytz">()), interned<"timezone">(), decode_utf8(tz));
    py::object dt = from_timestamp(datetime, unix_seconds, zone);

    const CalendarFields fields = calendar_fields(dt);
    year = fields.year;
    month = fields.month;
    day = fields.day;
    hour = fields.hour;
    minute = fields.minute;
    second = fields.second;
    microsecond = fields.microsecond;
    // Each from the microseconds alone: the sub-second part at three resolutions.
    decisecond = microsecond / 100000;
    centisecond = microsecond / 10000;
    millisecond = microsecond / 1000;
    iso = call_method(dt, interned<"isoformat">()).cast<std::string>();
    dt_ = std::move(dt);
}

py::object TimeStamp::stamp(std::string_view format) const {
    return call_method(dt_, interned<"strftime">(), decode_utf8(format));
}

double TimeStamp::operand_unix(py::handle other) {
    if (py::isinstance<TimeStamp>(other)) {
        return other.cast<const TimeStamp &>().unix_seconds;
    }
    if (PyLong_Check(other.ptr()) || PyFloat_Check(other.ptr())) {
        // An int too large for a double is pybind11's cast error.
        return other.cast<double>();
    }
    return -1.0;
}

}  // namespace vantrel::time
