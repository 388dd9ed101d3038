// A plain pybind11 module, not built from native/: it stands for any other pybind11
// library in the process, whose exceptions must keep pybind11's own translation.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <chrono>
#include <stdexcept>
#include <vector>

namespace py = pybind11;

namespace {

struct ForeignError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

__attribute__((noinline)) int recurse_then_throw_away(int depth) {
    if (depth < 1) {
        return 0;
    }
    if (depth == 1) {
        throw std::runtime_error("caught natively");
    }
    int below = recurse_then_throw_away(depth - 1);
    asm volatile("" : "+r"(below));  // keeps every level a frame of its own
    return below + 1;
}

// Throws `depth` frames down and catches it here.
int recurse_then_catch(int depth) {
    try {
        return recurse_then_throw_away(depth);
    } catch (const std::runtime_error &) {
        return 0;
    }
}

}  // namespace

PYBIND11_MODULE(_foreign, m) {
    static const std::vector<int> values{1, 2, 3};
    m.def("values", [] { return py::make_iterator(values.begin(), values.end()); });
    m.def("throw_index_error", [] { throw py::index_error("foreign index"); });
    m.def("throw_runtime_error", [](const std::string &message) { throw std::runtime_error(message); });
    py::register_exception<ForeignError>(m, "ForeignError");
    m.def("throw_foreign_error", [] { throw ForeignError("foreign failure"); });
    m.def("time_throws", [](int rounds, int depth) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < rounds; ++i) {
            recurse_then_catch(depth);
        }
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / rounds;
    });
}
