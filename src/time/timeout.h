// Timeout: a stopwatch, running from its creation, with a limit in whole seconds.
#pragma once

#include "time/stopwatch.h"

namespace vantrel::time {

class Timeout : public Stopwatch {
public:
    explicit Timeout(int timeout);

    // Whether the limit has been reached; reaching it exactly counts.
    bool timed_out() const { return elapsed() >= timeout_; }
    // Raises Python's TimeoutError once timed out (as a Python error, so it reaches the
    // caller as that type and without a native trace).
    void check() const;

private:
    double timeout_;
};

}  // namespace vantrel::time
