// Native error reporting: the throw hook is installed when a module's library is loaded;
// the translator is registered per interpreter.
#pragma once

namespace vantrel::native {

// Registers this module's translator for its own bound calls in the current interpreter.
// pybind11 keeps a module's translators per interpreter, so a registration made only when
// the library was loaded would leave every other interpreter that imports the module
// (a legacy sub-interpreter, or the main one after such a sub-interpreter loaded it first)
// with pybind11's own translation.  Called by the module body, once per interpreter; a body
// that failed registers again on its retry, which is harmless.
void register_native_translator();

}  // namespace vantrel::native
