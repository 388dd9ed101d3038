#include "time/timeout.h"

#include <pybind11/pybind11.h>

namespace vantrel::time {

Timeout::Timeout(int timeout) : timeout_(timeout) {
    start();
}

void Timeout::check() const {
    if (timed_out()) {
        PyErr_SetString(PyExc_TimeoutError, "The operation timed out.");
        throw pybind11::error_already_set();
    }
}

}  // namespace vantrel::time
