#include "game/strike_roll.hpp"

#include "game/saturating.hpp"
#include "platform/console.hpp"
#include "platform/random.hpp"

using platform::nextRandom;

namespace {

// A draw of n: 0 to n - 1.
int draw(int n) { return nextRandom() % n; }

// Nine times in ten the value grows by 0 to 2, otherwise it shrinks by 0 to
// 2; a value of 0 or less then counts as 1.
std::int32_t vary(std::int32_t value) {
    bool grows = draw(10) != 0;
    std::int64_t change = draw(3);
    std::int32_t varied = saturate(grows ? value + change : value - change);
    return varied <= 0 ? 1 : varied;
}

// The attack and a half of it, the half truncated toward zero (7 gives 10,
// -3 gives -4). Not raised to 1.
std::int32_t criticalAttack(std::int32_t attack) {
    return saturate(static_cast<std::int64_t>(attack) + attack / 2);
}

// The defence-side critical never comes: a draw of 10 is never 11. The draw
// is still made, so that every later draw falls where it always has.
void idleDefenceCritical() { (void)draw(10); }

}  // namespace

Strike rollStrike(std::int32_t attack, std::int32_t defence) {
    bool critical = draw(10) == 0;
    std::int32_t strike = critical ? criticalAttack(attack) : vary(attack);
    idleDefenceCritical();
    std::int32_t guard = vary(defence);

    std::int32_t damage =
        critical ? strike : saturate(static_cast<std::int64_t>(strike) - guard);
    if (damage <= 0) damage = 1 + draw(5);
    return Strike{damage, critical};
}

std::int32_t strikeRoll(std::int32_t attack, std::int32_t defence) {
    // The marker heads the blow's line; later draws print nothing, so it can
    // follow the roll.
    Strike strike = rollStrike(attack, defence);
    if (strike.critical) platform::out << "Critical ATTACK ";
    return strike.damage;
}
