// _Path: one file-system location, normalised once through the interpreter's os.path and
// then held in fixed forms.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <filesystem>
#include <optional>
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
    // path with every "/" written as a backslash.
    std::string wpath() const;
    // The native path naming the same file as path (on Linux its very bytes), made afresh.
    std::filesystem::path pure() const { return std::filesystem::path(path_); }

    // Queries on what the path names, asked of the file system afresh on every call,
    // symbolic links followed.  A failed status query reads as "nothing there".
    bool exists() const;
    bool is_file() const;
    // True without asking when path ends with "/" (a directory at construction).
    bool is_dir() const;
    // Bytes of a regular file, else none; std::filesystem::filesystem_error ("file_size")
    // if the file goes between the kind test and the size query.
    std::optional<std::uintmax_t> size() const;
    // A regular file's stem, a directory's own name (empty for "/"), else empty.
    std::string name() const;
    // The last component's extension without its dot, ASCII letters lower-cased; text only.
    std::string ext() const;

private:
    std::filesystem::file_type kind() const;
    bool marked_dir() const { return path_.back() == '/'; }

    // The one field: the other forms are derived from it.
    std::string path_;
};

}  // namespace vantrel::pc
