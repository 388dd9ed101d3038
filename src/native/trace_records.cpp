#include "native/trace_records.h"

#include <array>

#include "native/line_lookup.h"
#include "native/stack_walk.h"

namespace vantrel::native {
namespace {

struct Record {
    const void *object = nullptr;
    const std::type_info *type = nullptr;
    Frames frames;
};

// A handful per thread, not one: an error may be thrown and translated while another is
// unwinding (a __del__ run by a destructor), and each must keep its own.
struct Ring {
    std::array<Record, 8> records;
    std::size_t next = 0;

    Record *find(const void *object) {
        for (Record &record : records) {
            if (record.object == object) {
                return &record;
            }
        }
        return nullptr;
    }
};

thread_local Ring ring;

}  // namespace

void record_throw(const void *object, const std::type_info *type) noexcept {
    Record *record = ring.find(object);
    if (!record) {
        record = &ring.records[ring.next];
        ring.next = (ring.next + 1) % ring.records.size();
    }
    record->object = nullptr;
    if (walk_stack_from_throw(record->frames)) {
        record->object = object;
        record->type = type;
    }
}

void forget_throw(const void *object) noexcept {
    if (Record *record = ring.find(object)) {
        record->object = nullptr;
    }
}

void take_trace(const void *object, const std::type_info *type, std::string &out) {
    Record *record = object ? ring.find(object) : nullptr;
    if (!record || !type || *record->type != *type) {
        return;
    }
    record->object = nullptr;
    append_source_lines(record->frames, out);
}

}  // namespace vantrel::native
