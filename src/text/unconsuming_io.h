// UnconsumingIO: a Python stream whose reads do not consume.  Every read drains what the
// stream yields into a buffer and answers from the buffer's start.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

#include "text/utf8_text.h"

namespace vantrel::text {

class UnconsumingIO {
public:
    // A str is read through an io.StringIO holding it; any other object is the stream itself,
    // unchecked.
    explicit UnconsumingIO(pybind11::object stream);

    // Straight to the stream's write(); the buffer is not touched.
    void write(Utf8Text text) const;
    // Decoded strictly by the object's own decode(): nothing is written when that fails.
    void write(const pybind11::bytes &data) const;

    // Drains the stream's read() into the buffer, then answers its first `size` bytes (all
    // of it for None) as strict UTF-8.
    pybind11::str read(pybind11::handle size);

private:
    pybind11::object stream_;
    std::string buffer_;  // everything the stream's read() yielded, in order; only grows
};

}  // namespace vantrel::text
