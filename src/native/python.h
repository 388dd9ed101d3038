// Small, fast crossings into the interpreter, shared by every module.
#pragma once

#include <pybind11/pybind11.h>

namespace vantrel {

// The module `name`, imported by name on every use: answered from sys.modules once it is
// there, imported through the interpreter's import system otherwise (which also raises
// ModuleNotFoundError for a None entry, as the import statement does).
pybind11::module_ import_module(const char *name);

// One attribute lookup in which only AttributeError means absent (a null object); every
// other error propagates.
pybind11::object optional_attr(pybind11::handle object, const char *name);

}  // namespace vantrel
