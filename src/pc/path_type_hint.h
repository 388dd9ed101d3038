// PathTypeHint: what the locations return, the object that the package's Python Path
// class made, handed back unchanged (one owned reference) and shown as `Path` in
// signatures.  A py::object rather than a plain registered class, which pybind11 would
// wrap in an instance of its own and render as ".Path.Path".
#pragma once

#include <pybind11/pybind11.h>

#include <utility>

namespace vantrel::pc {

class PathTypeHint : public pybind11::object {
public:
    explicit PathTypeHint(pybind11::object made) : pybind11::object(std::move(made)) {}
};

}  // namespace vantrel::pc

template <>
struct pybind11::detail::handle_type_name<vantrel::pc::PathTypeHint> {
    static constexpr auto name = const_name("Path");
};
