// Native error reporting, installed when a module's library is loaded, before anything
// else of the module runs.
//
// The first of our modules loaded in the process installs the throw hook and shares its
// trace records through pybind11's registry; the modules loaded after it take their traces
// from there, so that each throw is walked once however many modules are loaded.  Each
// module registers its own translator, local to its own bound calls, in every interpreter
// that runs its body: other pybind11 libraries in the process keep their own translation.
#include "native/error_reporting.h"

#include <pybind11/pybind11.h>

#include "native/throw_hook.h"
#include "native/trace_records.h"
#include "native/translate.h"

namespace py = pybind11;

namespace vantrel::native {
namespace {

// What the modules share; a new layout takes a new key.
struct SharedRecords {
    TraceSource take_trace;
};
constexpr const char *shared_records_key = "vantrel.native.trace_records.v1";

const SharedRecords *shared_records = nullptr;

// A Python error carried through C++ is no native error: its throw is not worth a walk.
void record_native_throw(const void *object, const std::type_info *type) {
    if (type && *type != typeid(py::error_already_set)) {
        record_throw(object, type);
    }
}

const SharedRecords *install_shared_records() {
    if (auto *records = static_cast<const SharedRecords *>(py::get_shared_data(shared_records_key))) {
        return records;
    }
    static const SharedRecords ours{&take_trace};
    if (!install_throw_hook(&record_native_throw, &forget_throw)) {
        return nullptr;
    }
    py::set_shared_data(shared_records_key, const_cast<SharedRecords *>(&ours));
    return &ours;
}

void take_no_trace(const void *, const std::type_info *, std::string &) {}

void translate(std::exception_ptr exception) {
    translate_native_exception(exception, shared_records ? shared_records->take_trace : &take_no_trace);
}

__attribute__((constructor(101))) void install_native_error_reporting() {
    if (!Py_IsInitialized()) {
        return;
    }
    py::gil_scoped_acquire gil;
    try {
        shared_records = install_shared_records();
    } catch (...) {
        PyErr_Clear();
    }
}

}  // namespace

void register_native_translator() { py::register_local_exception_translator(&translate); }

}  // namespace vantrel::native
