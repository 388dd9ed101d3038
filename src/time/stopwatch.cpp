#include "time/stopwatch.h"

#include <chrono>
#include <cstdint>

namespace vantrel::time {

double now_seconds() {
    const std::int64_t nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch()).count();
    return static_cast<double>(nanoseconds) / 1e9;
}

Stopwatch &Stopwatch::start() {
    const double now = now_seconds();
    running = true;
    stop_time_ = unset;
    start_time_ = now;
    return *this;
}

Stopwatch &Stopwatch::stop() {
    running = false;
    stop_time_ = now_seconds();
    return *this;
}

double Stopwatch::elapsed() const {
    if (start_time_ == unset) {
        return unset;
    }
    if (!running) {
        return stop_time_ - start_time_;
    }
    return now_seconds() - start_time_;
}

}  // namespace vantrel::time
