// Narrow text: native code holds UTF-8 bytes.  Into native code a str comes as its UTF-8
// form and bytes or bytearray byte for byte (pybind11's std::string caster); back to Python
// it goes through here.
#pragma once

#include <pybind11/pybind11.h>

#include <string_view>

namespace vantrel {

// A Python str from UTF-8 bytes, decoded strictly: bytes that are not UTF-8 raise the
// interpreter's own UnicodeDecodeError (carried by error_already_set).
pybind11::str decode_utf8(std::string_view text);

}  // namespace vantrel
