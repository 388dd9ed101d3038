// Preloaded by the tests to put the monotonic clock under their control: CLOCK_MONOTONIC reads
// `vantrel_fake_clock_ns`, which the test sets through ctypes, so elapsed times come out exact.
// Every other clock is the real one.
#include <dlfcn.h>
#include <time.h>

#include <cstdint>

extern "C" {

__attribute__((visibility("default"))) std::int64_t vantrel_fake_clock_ns = 0;

__attribute__((visibility("default"))) int clock_gettime(clockid_t clock, struct timespec *now) {
    if (clock != CLOCK_MONOTONIC) {
        using Real = int (*)(clockid_t, struct timespec *);
        static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "clock_gettime"));
        return real(clock, now);
    }
    // timespec keeps its nanoseconds non-negative, so a negative setting borrows a second.
    std::int64_t seconds = vantrel_fake_clock_ns / 1'000'000'000;
    std::int64_t nanoseconds = vantrel_fake_clock_ns % 1'000'000'000;
    if (nanoseconds < 0) {
        seconds -= 1;
        nanoseconds += 1'000'000'000;
    }
    now->tv_sec = static_cast<time_t>(seconds);
    now->tv_nsec = static_cast<long>(nanoseconds);
    return 0;
}

}
