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

// The generator's next few draws, worked out side by side instead of one
// after another: k steps of the recurrence are a single multiply and add
// with constants of their own, so no draw waits for the one before it. A
// caller takes the draws in order with next(), exactly as it would from the
// generator, and then moves the generator past the ones it took; the draws
// it did not take are never used.
template <int Count>
struct DrawsAhead {
    std::uint32_t states[Count + 1];
    int taken = 0;

    explicit DrawsAhead(const Random& random) {
        std::uint32_t multiplier = 1;
        std::uint32_t increment = 0;
        states[0] = random.state;
        for (int k = 1; k <= Count; ++k) {
            // One more step: the k-step map is the (k-1)-step map followed by one.
            multiplier *= 214013u;
            increment = increment * 214013u + 2531011u;
            states[k] = random.state * multiplier + increment;
        }
    }

    // The next value, 0 to 32767, as Random::next() would give it. At most
    // Count of them.
    int next() {
        ++taken;
        return static_cast<int>((states[taken] >> 16) & 0x7FFFu);
    }

    void moveOn(Random& random) const { random.state = states[taken]; }

    // The k-th draw ahead (1 to Count), 0 to 32767, and the generator's
    // state after it, for a caller that picks among the draws by a condition
    // of its own rather than taking them one by one.
    std::uint32_t at(int k) const { return (states[k] >> 16) & 0x7FFFu; }
    std::uint32_t stateAfter(int k) const { return states[k]; }
};

// The program's own generator, seeded once by the program. Before the first
// seed its state is 1.
Random& programRandom();

inline void seedRandom(std::uint32_t seed) { programRandom().state = seed; }
inline int nextRandom() { return programRandom().next(); }

}  // namespace platform
