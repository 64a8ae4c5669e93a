#pragma once
#include <cstdint>

#include "platform/random.hpp"
#include "rules/saturating.hpp"

// Settles one blow of a battle: the striker's attack against the target's
// defence, with a one-in-ten critical strike that ignores the defence. The
// damage is always 1 or more. Inline: the fight calls it for every blow.
// A blow makes at most seven draws; they are read ahead from the generator
// at once, which leaves it where the same draws one by one would.

struct Strike {
    std::int32_t damage;
    bool critical;
};

namespace strike_detail {

using Draws = platform::DrawsAhead<7>;

// A draw of n: 0 to n - 1.
inline int draw(Draws& random, int n) { return random.next() % n; }

// Nine times in ten the value grows by 0 to 2, otherwise it shrinks by 0 to
// 2; a value of 0 or less then counts as 1.
inline std::int32_t vary(Draws& random, std::int32_t value) {
    bool grows = draw(random, 10) != 0;
    std::int64_t change = draw(random, 3);
    std::int32_t varied = saturate(grows ? value + change : value - change);
    return varied <= 0 ? 1 : varied;
}

// The attack and a half of it, the half truncated toward zero (7 gives 10,
// -3 gives -4). Not raised to 1.
inline std::int32_t criticalAttack(std::int32_t attack) {
    return saturate(static_cast<std::int64_t>(attack) + attack / 2);
}

}  // namespace strike_detail

inline Strike rollStrike(platform::Random& generator, std::int32_t attack, std::int32_t defence) {
    using namespace strike_detail;
    Draws random(generator);
    bool critical = draw(random, 10) == 0;
    std::int32_t strike = critical ? criticalAttack(attack) : vary(random, attack);
    // The defence-side critical never comes: a draw of 10 is never 11. The
    // draw is still made, so that every later draw falls where it always has.
    (void)draw(random, 10);
    std::int32_t guard = vary(random, defence);

    std::int32_t damage = critical ? strike : saturate(static_cast<std::int64_t>(strike) - guard);
    if (damage <= 0) damage = 1 + draw(random, 5);
    random.moveOn(generator);
    return Strike{damage, critical};
}
