// What every figure of the benchmark is timed with: a steady clock, the best of some runs
// (the least disturbed by the rest of the machine) and a cheap random sequence.
#pragma once

#include <chrono>
#include <cstdint>

inline double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

template <typename F>
double Best(int repeat, F work) {
    double best = 1e30;
    for (int i = 0; i < repeat; ++i) {
        double start = Now();
        work();
        double t = Now() - start;
        if (t < best) best = t;
    }
    return best;
}

// xorshift64: random rows without the cost of a library generator.
inline uint64_t Next(uint64_t* x) {
    *x ^= *x << 13;
    *x ^= *x >> 7;
    *x ^= *x << 17;
    return *x;
}
