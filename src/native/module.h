// The frame every vantrel extension module is loaded through.
//
// pybind11's multi-phase PYBIND11_MODULE already gives what the modules need: the
// "3.13" version gate, a creation slot that names the module from its import spec and
// hands back the cached module on re-import, an execution slot that runs the body once
// per interpreter and turns its failure into ImportError, and no Py_mod_gil slot (the
// modules need the GIL).  We only state the sub-interpreter refusal explicitly.
#pragma once

#include <pybind11/pybind11.h>

#define VANTREL_MODULE(name, variable) \
    PYBIND11_MODULE(name, variable, ::pybind11::multiple_interpreters::not_supported())
