// The frame every vantrel extension module is loaded through.
//
// pybind11's multi-phase PYBIND11_MODULE already gives what the modules need: the
// "3.13" version gate, a creation slot that names the module from its import spec and
// hands back the cached module on re-import, an execution slot that runs the body once
// per interpreter and turns its failure into ImportError, and no Py_mod_gil slot (the
// modules need the GIL).  We state the sub-interpreter refusal explicitly, and register the
// module's translator in each interpreter that runs the body (see error_reporting.h).
#pragma once

#include <pybind11/pybind11.h>

#include "native/error_reporting.h"

// One module per source file, so the body's name needs no prefix.
#define VANTREL_MODULE(name, variable)                                                   \
    static void vantrel_module_body(::pybind11::module_ &);                              \
    PYBIND11_MODULE(name, module, ::pybind11::multiple_interpreters::not_supported()) {  \
        ::vantrel::native::register_native_translator();                                 \
        vantrel_module_body(module);                                                     \
    }                                                                                    \
    static void vantrel_module_body(::pybind11::module_ &variable)
