// The trace records: the stack of each recent throw on a thread, kept until the translation
// of that very exception takes it.
#pragma once

#include <string>
#include <typeinfo>

namespace vantrel::native {

// Records the calling thread's stack for a new throw of `object` of `type`, replacing any
// record of an earlier object at the same address.  A throw observer: never throws.
void record_throw(const void *object, const std::type_info *type) noexcept;

// Forgets this thread's record of `object`, which is being freed: its address may be
// reused by a later exception that the hook never sees.  A free observer: never throws.
void forget_throw(const void *object) noexcept;

// Appends the frame lines recorded for this thread's throw of `object` of `type`, if any,
// and forgets the record.  An address alone could have been reused, so the type must match.
void take_trace(const void *object, const std::type_info *type, std::string &out);

}  // namespace vantrel::native
