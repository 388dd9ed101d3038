// _loc: well-known locations as objects of the package's Python Path class, which is
// looked up afresh on every read.  No state; nothing is caught.
#pragma once

#include "pc/path_type_hint.h"

namespace vantrel::pc {

class _loc {
public:
    // The interpreter's temporary directory (tempfile.gettempdir()).
    PathTypeHint temp() const;
    // The directory of __main__.__file__, or the working directory when there is none.
    PathTypeHint script() const;
    // script.child("/__pycache__/"), made by its mkdir() on every read.
    PathTypeHint cache() const;
};

}  // namespace vantrel::pc
