// Small, fast crossings into the interpreter, shared by every module.
#pragma once

#include <pybind11/pybind11.h>

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace vantrel {

// A string literal carried as a template argument: interned<"year">().
template <std::size_t size>
struct Literal {
    constexpr Literal(const char (&literal)[size]) { std::copy_n(literal, size, text); }
    char text[size];
};

pybind11::handle make_interned(const char *text);

// `name` as an interned str, made once per process and never released. Lookups by an
// interned name are answered from the interpreter's attribute caches; a str made afresh for
// every lookup misses them and walks the type's dictionaries each time.
template <Literal name>
pybind11::handle interned() {
    static const pybind11::handle str = make_interned(name.text);
    return str;
}

// The module `name`, imported by name on every use: answered from sys.modules once it is
// there, imported through the interpreter's import system otherwise.
pybind11::module_ import_module(pybind11::handle name);
pybind11::module_ import_module(const char *name);

// self.name(*args) in one vectorcall, so that no bound method and no argument tuple are made.
template <typename... Args>
pybind11::object call_method(pybind11::handle self, pybind11::handle name, Args... args) {
    PyObject *stack[] = {self.ptr(), pybind11::handle(args).ptr()...};
    PyObject *result = PyObject_VectorcallMethod(name.ptr(), stack, std::size(stack), nullptr);
    if (!result) {
        throw pybind11::error_already_set();
    }
    return pybind11::reinterpret_steal<pybind11::object>(result);
}

// One attribute lookup in which only AttributeError means absent (a null object); every
// other error propagates.
pybind11::object optional_attr(pybind11::handle object, pybind11::handle name);

}  // namespace vantrel
