// Small, fast crossings into the interpreter, shared by every module.
#pragma once

#include <pybind11/pybind11.h>

namespace vantrel {

// A name used on every call (of a module, an attribute, a method), made into an interned
// str once.  Never freed: hold it in a function-local static.
class Name {
public:
    explicit Name(const char *text);
    pybind11::handle str() const { return str_; }

private:
    PyObject *str_;
};

// The module `name`, imported by name on every use: answered from sys.modules once it is
// there, imported through the interpreter's import system otherwise.
pybind11::module_ import_module(const Name &name);
pybind11::module_ import_module(const char *name);

// One attribute lookup in which only AttributeError means absent (a null object); every
// other error propagates.
pybind11::object optional_attr(pybind11::handle object, const Name &name);
pybind11::object optional_attr(pybind11::handle object, const char *name);

// object.name(argument), by the interpreter's vectorcall.
pybind11::object call_method(pybind11::handle object, const Name &name, pybind11::handle argument);

}  // namespace vantrel
