// Linked with its own static copy of the C++ runtime, so its throws never pass the shared
// runtime's throw hook.
#include <stdexcept>

extern "C" __attribute__((visibility("default"))) void static_thrower_throw(const char *message) {
    throw std::runtime_error(message);
}
