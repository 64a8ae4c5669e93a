#pragma once
#include <cstdint>

// The game's pseudo-random generator: a linear congruential generator that
// gives the same sequence for the same seed on every machine, so that a seed
// replays a whole game.
namespace platform {

// One generator's state. The rules of play draw from a generator that their
// caller hands them: the game's is the process-wide one below, a simulation
// may own its own. The step is inline, as the battle loop calls it for
// every blow.
struct Random {
    std::uint32_t state = 1;

    // The next value, 0 to 32767.
    int next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFFu);
    }
};

// The program's own generator, seeded once by the program. Before the first
// seed its state is 1.
Random& programRandom();

inline void seedRandom(std::uint32_t seed) { programRandom().state = seed; }
inline int nextRandom() { return programRandom().next(); }

}  // namespace platform
