// The translation: a C++ exception escaping a bound call becomes a plain Python Exception
// whose message is the native stack trace block.
#pragma once

#include <exception>
#include <string>
#include <typeinfo>

namespace vantrel::native {

// Where the frame lines of an exception's own throw come from (see trace_records.h).
using TraceSource = void (*)(const void *object, const std::type_info *type, std::string &out);

// Sets Python's Exception with the block: "\n--- C++ Native Stack Trace ---", what() and
// "\n" (or "Unknown Exception Type\n"), then the frame lines of the exception's own throw.
// Text that is not UTF-8 arrives with its bad bytes escaped.
void translate_native_exception(const std::exception_ptr &exception, TraceSource trace);

}  // namespace vantrel::native
