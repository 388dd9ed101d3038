#include "native/stack_walk.h"

#include <cstdlib>
#include <utility>

namespace vantrel::native {

Frames::Frames(Frames &&other) noexcept
    : pcs_(std::exchange(other.pcs_, nullptr)),
      count_(std::exchange(other.count_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

Frames &Frames::operator=(Frames &&other) noexcept {
    std::swap(pcs_, other.pcs_);
    std::swap(count_, other.count_);
    std::swap(capacity_, other.capacity_);
    return *this;
}

Frames::~Frames() { std::free(pcs_); }

bool Frames::push(std::uintptr_t pc) noexcept {
    if (count_ == capacity_) {
        const std::size_t capacity = capacity_ ? 2 * capacity_ : 64;
        void *grown = std::realloc(pcs_, capacity * sizeof *pcs_);
        if (!grown) {
            return false;
        }
        pcs_ = static_cast<std::uintptr_t *>(grown);
        capacity_ = capacity;
    }
    pcs_[count_++] = pc;
    return true;
}

}  // namespace vantrel::native
