// The live queries of _Path: what the file system says about the path right now.
#include "pc/normal_path.h"

#include <system_error>

namespace fs = std::filesystem;

namespace vantrel::pc {

// The system calls would cut a path at its first NUL and answer for the text before it, a
// different file; such a path names no file, so the file system is not asked at all.
fs::file_type NormalPath::kind() const {
    if (path_.find('\0') != std::string::npos) {
        return fs::file_type::not_found;
    }
    std::error_code ignored;
    return fs::status(pure(), ignored).type();
}

bool NormalPath::exists() const {
    const fs::file_type k = kind();
    return k != fs::file_type::not_found && k != fs::file_type::none;
}

bool NormalPath::is_file() const { return kind() == fs::file_type::regular; }

bool NormalPath::is_dir() const { return marked_dir() || kind() == fs::file_type::directory; }

std::optional<std::uintmax_t> NormalPath::size() const {
    if (!is_file()) {
        return std::nullopt;
    }
    const fs::path native = pure();
    std::error_code error;
    const std::uintmax_t bytes = fs::file_size(native, error);
    if (error) {
        throw fs::filesystem_error("file_size", native, error);
    }
    return bytes;
}

// One kind query answers both "file?" and "directory?", so the two agree on one moment.
std::string NormalPath::name() const {
    const fs::file_type k = kind();
    if (k == fs::file_type::regular) {
        return pure().stem().native();
    }
    if (marked_dir() || k == fs::file_type::directory) {
        // "/a/docs/" names docs through its parent path "/a/docs"; a directory that came
        // after the _Path has no "/" and is its own last component.
        const fs::path native = pure();
        return (marked_dir() ? native.parent_path() : native).filename().native();
    }
    return {};
}

// Never the C library's tolower: under a Latin-1 locale it rewrites the bytes of UTF-8
// characters.
std::string NormalPath::ext() const {
    std::string text = pure().extension().native();
    if (!text.empty() && text.front() == '.') {
        text.erase(0, 1);
    }
    for (char &c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

}  // namespace vantrel::pc
