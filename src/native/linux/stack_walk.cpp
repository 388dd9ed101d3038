// The stack walk on Linux: libgcc's unwinder, which reads the frames' call-frame
// information, so it needs no frame pointers.
#include "native/stack_walk.h"

#include <unwind.h>

#include "native/throw_hook.h"

namespace vantrel::native {
namespace {

struct Walk {
    Frames &frames;
    bool past_runtime = false;
    bool out_of_memory = false;
};

_Unwind_Reason_Code visit(_Unwind_Context *context, void *data) {
    auto &walk = *static_cast<Walk *>(data);
    int before_instruction = 0;
    std::uintptr_t pc = _Unwind_GetIPInfo(context, &before_instruction);
    if (pc == 0) {
        return _URC_END_OF_STACK;
    }
    // A return address points after its call; a call at a function's very end would
    // otherwise be taken for the next function.
    if (!before_instruction) {
        pc -= 1;
    }
    if (!walk.past_runtime) {
        walk.past_runtime = in_cxx_runtime(pc);
        return _URC_NO_REASON;
    }
    if (!walk.frames.push(pc)) {
        walk.out_of_memory = true;
        return _URC_END_OF_STACK;
    }
    return _URC_NO_REASON;
}

}  // namespace

bool walk_stack_from_throw(Frames &frames) noexcept {
    frames.clear();
    Walk walk{frames};
    _Unwind_Backtrace(&visit, &walk);
    if (walk.out_of_memory) {
        frames.clear();
        return false;
    }
    return true;
}

}  // namespace vantrel::native
