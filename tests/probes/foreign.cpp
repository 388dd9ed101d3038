// A plain pybind11 module, not built from native/: it stands for any other pybind11
// library in the process, whose exceptions must keep pybind11's own translation.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <stdexcept>
#include <vector>

#include "throw_rounds.h"

namespace py = pybind11;

namespace {

struct ForeignError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace

PYBIND11_MODULE(_foreign, m) {
    static const std::vector<int> values{1, 2, 3};
    m.def("values", [] { return py::make_iterator(values.begin(), values.end()); });
    m.def("throw_index_error", [] { throw py::index_error("foreign index"); });
    m.def("throw_runtime_error", [](const std::string &message) { throw std::runtime_error(message); });
    py::register_exception<ForeignError>(m, "ForeignError");
    m.def("throw_foreign_error", [] { throw ForeignError("foreign failure"); });
    m.def("time_throws", &probe::time_throws);
}
