#include "pc/locations.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "native/python.h"
#include "native/text.h"

namespace py = pybind11;
namespace fs = std::filesystem;

namespace vantrel::pc {
namespace {

py::object path_class() { return import_module("vantrel.pc.Path").attr("Path"); }

fs::path working_directory() {
    std::error_code error;
    fs::path directory = fs::current_path(error);
    if (error) {
        throw fs::filesystem_error("current_path()", error);
    }
    return directory;
}

}  // namespace

PathTypeHint _loc::temp() const {
    // Taken before anything else, so a broken tempfile is what the reader hears about.
    py::object gettempdir = import_module("tempfile").attr("gettempdir");
#ifdef _WIN32
    // A fixed drive folder wins when it exists.  Not on Linux: there the text is relative,
    // so whoever can create E:/__temp__ where a program runs would receive its files.
    py::object fixed = path_class()("E:/__temp__/");
    if (fixed.attr("exists").cast<bool>()) {
        return PathTypeHint(fixed);
    }
#endif
    py::object directory = gettempdir();
    return PathTypeHint(path_class()(py::str(directory)));
}

PathTypeHint _loc::script() const {
    py::object main_module = import_module("sys").attr("modules")["__main__"];
    // The parent keeps the separators __file__ was written with; a bare file name has none.
    const py::object file = optional_attr(main_module, interned<"__file__">());
    const fs::path directory = file ? fs::path(file.cast<std::string>()).parent_path() : working_directory();
    return PathTypeHint(path_class()(decode_utf8(directory.native())));
}

PathTypeHint _loc::cache() const {
    py::object cache = script().attr("child")("/__pycache__/");
    cache.attr("mkdir")();
    return PathTypeHint(cache);
}

}  // namespace vantrel::pc
