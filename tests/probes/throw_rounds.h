// The throw-and-catch loop both probes time, so that ours and the stock one run the same code.
#pragma once

#include <chrono>
#include <stdexcept>

namespace probe {

__attribute__((noinline)) inline int recurse_then_throw_away(int depth) {
    if (depth < 1) {
        return 0;
    }
    if (depth == 1) {
        throw std::runtime_error("caught natively");
    }
    int below = recurse_then_throw_away(depth - 1);
    asm volatile("" : "+r"(below));  // keeps every level a frame of its own
    return below + 1;
}

// Throws `depth` frames down and catches it here.
inline int recurse_then_catch(int depth) {
    try {
        return recurse_then_throw_away(depth);
    } catch (const std::runtime_error &) {
        return 0;
    }
}

// Seconds per throw `depth` frames down, caught in C++.
inline double time_throws(int rounds, int depth) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        recurse_then_catch(depth);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / rounds;
}

}  // namespace probe
