// The random numbers of the simulated services: a small generator per
// implementation, so that a run is repeatable from its seed and nothing is
// shared between threads.
#pragma once

#include <cstdint>

class SimulationRandom {
public:
    explicit SimulationRandom(uint32_t seed) : state(seed % kModulus ? seed % kModulus : 1) {}
    // Uniform in 0 .. 2^31 - 3.
    int Next() {
        state = static_cast<uint32_t>((uint64_t(state) * 48271u) % kModulus);
        return static_cast<int>(state - 1);
    }
    // Uniform in 0 .. n-1; 0 for n below 1.
    int Below(int n) { return n > 0 ? Next() % n : 0; }

private:
    static const uint32_t kModulus = 2147483647u;
    uint32_t state;
};
