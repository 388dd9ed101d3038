// A test-only module built from native/ like the package's own modules: it throws in every
// way the error reporting must handle.  Lines marked "throw site" are looked up by the tests.
#include "native/module.h"
#include "throw_rounds.h"

#include <dlfcn.h>
#include <elfutils/libdwfl.h>
#include <execinfo.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace py = pybind11;

#ifndef PROBE_NAME
#define PROBE_NAME _probe
#endif

namespace {

[[noreturn]] __attribute__((noinline)) void throw_runtime_error(const std::string &message) {
    throw std::runtime_error(message);  // throw site: runtime_error
}

__attribute__((noinline)) int recurse_then_throw(int depth, const std::string &message) {
    if (depth < 1) {
        return 0;
    }
    if (depth == 1) {
        throw_runtime_error(message);  // throw site: deepest
    }
    int below = recurse_then_throw(depth - 1, message);  // throw site: recursion
    asm volatile("" : "+r"(below));  // keeps every level a frame of its own
    return below + 1;
}

// Calls `callback` from its destructor, so during the unwinding of whatever is thrown.
struct CallOnUnwind {
    py::object callback;
    ~CallOnUnwind() { callback(); }
};

}  // namespace

VANTREL_MODULE(PROBE_NAME, m) {
    // Tests make the body fail by putting a marker into sys.modules before importing.
    // A callable marker is called (its Python error fails the body), any other fails it natively.
    py::object failure = py::module_::import("sys").attr("modules").attr("get")("_probe_body_failure");
    if (PyCallable_Check(failure.ptr())) {
        failure();
    } else if (!failure.is_none()) {
        throw std::runtime_error("probe body failed natively");
    }
    m.attr("loaded") = true;

    m.def("throw_runtime_error", &throw_runtime_error);
    m.def("throw_unknown", [] { throw 42; });  // throw site: unknown
    m.def("throw_bytes", [](py::bytes message) { throw_runtime_error(message.cast<std::string>()); });
    m.def("recurse_then_throw", &recurse_then_throw);
    m.def("throw_and_catch", [] { return probe::recurse_then_catch(1); });
    m.def("rethrow", [](const std::string &message) {
        try {
            throw_runtime_error(message);
        } catch (...) {
            throw;
        }
    });
    m.def("rethrow_exception_ptr", [](const std::string &message) {
        std::exception_ptr caught;
        try {
            throw_runtime_error(message);
        } catch (...) {
            caught = std::current_exception();
        }
        std::rethrow_exception(caught);
    });
    m.def("call", [](py::object callback) { return callback(); });
    m.def("throw_while_unwinding_calls", [](py::object callback, const std::string &message) {
        CallOnUnwind guard{std::move(callback)};
        throw_runtime_error(message);  // throw site: outer
    });
    m.def("throw_on_worker", [](const std::string &message) {
        std::exception_ptr caught;
        std::thread worker([&] {
            try {
                throw_runtime_error(message);
            } catch (...) {
                caught = std::current_exception();
            }
        });
        worker.join();
        std::rethrow_exception(caught);
    });
    // Throws from a library with its own static C++ runtime, which the throw hook cannot see.
    m.def("throw_from_static_runtime", [](const std::string &library, const std::string &message) {
        void *handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
        auto *thrower = handle ? reinterpret_cast<void (*)(const char *)>(dlsym(handle, "static_thrower_throw")) : nullptr;
        if (!thrower) {
            throw std::runtime_error("static thrower not found");
        }
        thrower(message.c_str());
    });
    // Seconds per capture done as a fresh symbol session for the whole process would do it:
    // open the session, report every loaded object, look up every frame, close it.
    m.def("time_fresh_session_captures", [](int rounds) {
        static char *debuginfo_path = nullptr;
        static const Dwfl_Callbacks callbacks = {dwfl_linux_proc_find_elf, dwfl_standard_find_debuginfo, nullptr,
                                                 &debuginfo_path};
        const auto start = std::chrono::steady_clock::now();
        size_t lines = 0;
        for (int i = 0; i < rounds; ++i) {
            void *pcs[256];
            const int count = backtrace(pcs, 256);
            Dwfl *session = dwfl_begin(&callbacks);
            dwfl_linux_proc_report(session, getpid());
            dwfl_report_end(session, nullptr, nullptr);
            for (int f = 0; f < count; ++f) {
                const auto pc = reinterpret_cast<Dwarf_Addr>(pcs[f]) - 1;
                Dwfl_Module *module = dwfl_addrmodule(session, pc);
                lines += module && dwfl_module_getsrc(module, pc) ? 1 : 0;
            }
            dwfl_end(session);
        }
        (void)lines;
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / rounds;
    });
    m.def("time_throws", &probe::time_throws);
}
