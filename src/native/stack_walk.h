// The stack walk: the raw program counters of the calling thread, cheap enough for every throw.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel::native {

// A growable list of program counters, allocated with malloc so that filling it can fail
// quietly instead of throwing.
class Frames {
public:
    Frames() = default;
    Frames(Frames &&other) noexcept;
    Frames &operator=(Frames &&other) noexcept;
    Frames(const Frames &) = delete;
    Frames &operator=(const Frames &) = delete;
    ~Frames();

    // False (and the list unchanged) when memory runs out.
    bool push(std::uintptr_t pc) noexcept;
    void clear() noexcept { count_ = 0; }

    const std::uintptr_t *begin() const { return pcs_; }
    const std::uintptr_t *end() const { return pcs_ + count_; }
    std::size_t size() const { return count_; }

private:
    std::uintptr_t *pcs_ = nullptr;
    std::size_t count_ = 0;
    std::size_t capacity_ = 0;
};

// Replaces `frames` with the calling thread's stack, innermost first, each PC pointing
// into the call instruction of its frame, from the first frame after the C++ runtime's
// own (see in_cxx_runtime).  Returns false, leaving `frames` empty, when memory runs out.
bool walk_stack_from_throw(Frames &frames) noexcept;

}  // namespace vantrel::native
