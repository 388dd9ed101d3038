#include "pc/normal_path.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "native/python.h"
#include "native/text.h"

namespace py = pybind11;

namespace vantrel::pc {
namespace {

bool is_path_like(py::handle object) {
    return static_cast<bool>(optional_attr(reinterpret_cast<PyObject *>(Py_TYPE(object.ptr())), interned<"__fspath__">()));
}

std::string source_text(py::handle source) {
    if (py::object path = optional_attr(source, interned<"path">())) {
        return path.cast<std::string>();
    }
    if (py::object as_posix = optional_attr(source, interned<"as_posix">())) {
        return as_posix().cast<std::string>();
    }
    if (PyUnicode_Check(source.ptr()) || PyBytes_Check(source.ptr()) || PyByteArray_Check(source.ptr())) {
        return source.cast<std::string>();
    }
    if (is_path_like(source)) {
        PyObject *fspath = PyOS_FSPath(source.ptr());
        if (!fspath) {
            throw py::error_already_set();
        }
        return py::reinterpret_steal<py::object>(fspath).cast<std::string>();
    }
    return py::str(source).cast<std::string>();
}

// Every run of slashes becomes one "/", in one pass.
std::string collapse_slashes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const size_t slash = text.find('/');
        out.append(text.substr(0, slash));
        if (slash == std::string_view::npos) {
            break;
        }
        out.push_back('/');
        text.remove_prefix(std::min(text.find_first_not_of('/', slash), text.size()));
    }
    return out;
}

}  // namespace

std::string NormalPath::parse(py::handle source) {
    const std::string collapsed = collapse_slashes(source_text(source));
    py::module_ os_path = import_module(interned<"os.path">());
    py::object absolute = call_method(os_path, interned<"abspath">(), decode_utf8(collapsed));
    std::string text = absolute.cast<std::string>();
    if (call_method(os_path, interned<"isdir">(), absolute).cast<bool>() && (text.empty() || text.back() != '/')) {
        text.push_back('/');
    }
    return text;
}

NormalPath::NormalPath(py::handle source) : path_(parse(source)) {}

std::string NormalPath::wpath() const {
    std::string text = path_;
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

std::string NormalPath::seg(int i) const {
    std::string_view rest(path_);
    if (!rest.empty() && rest.back() == '/') {
        rest.remove_suffix(1);
    }
    std::vector<std::string_view> parts;
    while (!rest.empty()) {
        const size_t end = std::min(rest.find('/'), rest.size());
        if (end > 0) {
            parts.push_back(rest.substr(0, end));
        }
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    const auto count = static_cast<long>(parts.size());
    const long index = i < 0 ? i + count : i;
    if (index < 0 || index >= count) {
        PyErr_SetString(PyExc_IndexError, "segment index out of range");
        throw py::error_already_set();
    }
    return std::string(parts[static_cast<size_t>(index)]);
}

}  // namespace vantrel::pc
