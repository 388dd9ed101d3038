// The throw hook: process-wide callbacks at every primary C++ throw, made before any
// unwinding on the throwing thread, and at the freeing of every thrown object.
#pragma once

#include <cstdint>
#include <exception>
#include <typeinfo>

namespace vantrel::native {

// Called with the thrown object and its type.  It runs inside the throw: it must not
// throw, and should not allocate more than it must.
using ThrowObserver = void (*)(const void *object, const std::type_info *type);

// Called with a thrown object that is about to be freed, on whichever thread frees it.
using FreeObserver = void (*)(const void *object);

// Installs the observers for every C++ exception that goes through the shared C++ runtime.
// Rethrows (`throw;`, std::rethrow_exception) are not primary throws and are not observed.
// Never undone.  Returns false when the runtime could not be hooked.
bool install_throw_hook(ThrowObserver on_throw, FreeObserver on_free);

// Whether `pc` lies inside the C++ runtime: a stack walk started in the observer drops
// every frame up to the runtime's own, so that it begins at the code that threw.
bool in_cxx_runtime(std::uintptr_t pc);

// The thrown object and its type of an exception in flight, as the observer saw them.
const void *thrown_object(const std::exception_ptr &exception);
const std::type_info *thrown_type(const std::exception_ptr &exception);

}  // namespace vantrel::native
