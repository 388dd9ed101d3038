// _Path: one file-system location, normalised once through the interpreter's os.path and
// then held in fixed forms.
#pragma once

#include <pybind11/pybind11.h>

#include <filesystem>
#include <string>

namespace vantrel::pc {

class NormalPath {
public:
    // Takes the text of any object: its `path` attribute, else its `as_posix()`, else its
    // file-system path (str, bytes, bytearray, os.PathLike), else its str().
    explicit NormalPath(pybind11::handle source);

    // The absolute forward-slash text the constructor stores: slashes collapsed, made
    // absolute by os.path.abspath, one trailing "/" for an existing directory.
    static std::string parse(pybind11::handle source);

    // Segment `i` of path split at "/", counted as Python counts (-1 is the last);
    // IndexError outside.
    std::string seg(int i) const;

    const std::string &path() const { return path_; }
    const std::string &wpath() const { return wpath_; }
    const std::filesystem::path &pure() const { return pure_; }

private:
    std::string path_;
    std::string wpath_;  // path_ with every "/" written as a backslash
    std::filesystem::path pure_;
};

}  // namespace vantrel::pc
