// The line lookup: program counters to the source file and line recorded at build time.
#pragma once

#include <string>

#include "native/stack_walk.h"

namespace vantrel::native {

// Appends one frame line, "\n  " + file + " : " + line, for each frame that has line
// information, in order; frames without it leave no line.  Safe on any thread.
void append_source_lines(const Frames &frames, std::string &out);

}  // namespace vantrel::native
