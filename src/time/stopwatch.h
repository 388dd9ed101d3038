// Stopwatch: elapsed seconds on the monotonic clock.
#pragma once

namespace vantrel::time {

// Seconds on the steady clock, from its own (boot-relative) origin: only differences mean
// anything.
double now_seconds();

class Stopwatch {
public:
    Stopwatch() = default;
    // Virtual so that a Stopwatch& handed back to Python resolves to the most derived
    // registered type: `Timeout(5).start()` must give back that Timeout, not a new wrapper.
    virtual ~Stopwatch() = default;

    // Starts or restarts the measurement; nothing accumulates across runs.
    Stopwatch &start();
    // Ends the measurement, whatever the state: a second stop moves the end later.
    Stopwatch &stop();
    // Seconds measured so far, or -1.0 when never started.
    double elapsed() const;

    bool operator>(double x) const { return elapsed() > x; }
    bool operator>=(double x) const { return elapsed() >= x; }
    bool operator<(double x) const { return elapsed() < x; }
    bool operator<=(double x) const { return elapsed() <= x; }
    bool operator==(double x) const { return elapsed() == x; }

    // True from start() to the next stop(). Python reads it as a field, straight from the
    // member; only start() and stop() write it.
    bool running = false;

private:
    static constexpr double unset = -1.0;

    double start_time_ = unset;
    double stop_time_ = unset;
};

}  // namespace vantrel::time
