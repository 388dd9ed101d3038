#include "native/translate.h"

#include <Python.h>

#include "native/throw_hook.h"

namespace vantrel::native {

void translate_native_exception(const std::exception_ptr &exception, TraceSource trace) {
    if (!exception) {
        return;
    }
    std::string block = "\n--- C++ Native Stack Trace ---";
    try {
        std::rethrow_exception(exception);
    } catch (const std::exception &error) {
        block += error.what();
        block += '\n';
    } catch (...) {
        block += "Unknown Exception Type\n";
    }
    trace(thrown_object(exception), thrown_type(exception), block);
    PyObject *message = PyUnicode_DecodeUTF8(block.data(), static_cast<Py_ssize_t>(block.size()), "backslashreplace");
    if (message) {
        PyErr_SetObject(PyExc_Exception, message);
        Py_DECREF(message);
    }
}

}  // namespace vantrel::native
