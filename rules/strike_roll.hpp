#pragma once
#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/random.hpp"

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

// Whether a draw, below 2^15, is a multiple of 10: its product by 2^32 / 10
// rounded up, kept to 32 bits, is below that constant exactly then. One
// multiply and a compare, which a remainder by 10 takes more steps for.
inline bool multipleOfTen(std::uint32_t draw) {
    constexpr std::uint32_t tenth = 0x1999999Au;
    return draw * tenth < tenth;
}

// A draw, below 2^15, modulo a small divisor: the fraction part of
// draw / divisor in 32 bits (its product by 2^32 / divisor rounded up),
// times the divisor, is the remainder. Exact for every such draw when the
// divisor is 3 or 5.
template <std::uint32_t Divisor>
inline std::int32_t remainderOf(std::uint32_t draw) {
    static_assert(Divisor == 3 || Divisor == 5);
    constexpr std::uint32_t inverse = static_cast<std::uint32_t>(0xFFFFFFFFu / Divisor + 1);
    std::uint64_t fraction = draw * inverse;
    return static_cast<std::int32_t>((fraction * Divisor) >> 32);
}

// The change of a value by its two draws: nine times in ten (the first
// draw, of 10, is not 0) it grows by 0 to 2 (the second draw, of 3),
// otherwise it shrinks by as much.
inline std::int32_t change(std::uint32_t growDraw, std::uint32_t changeDraw) {
    // Picked by a conditional move, not a branch, which the one time in
    // ten at random would mispredict.
    std::int32_t grows = remainderOf<3>(changeDraw);
    std::int32_t shrinks = -grows;
    return multipleOfTen(growDraw) ? shrinks : grows;
}

// Every draw's remainder by 3 in its low two bits and, in its sign bit,
// whether it is a multiple of 10: the change of a value by a table, 32 KiB,
// for the silent fights that roll many blows in a row. Each test is then a
// load, where the arithmetic takes two multiplies; the game's battles, a
// few blows between long stretches of other work, keep the arithmetic.
struct DrawFacts {
    std::int8_t byDraw[0x8000];
};

constexpr DrawFacts drawFactsTable() {
    DrawFacts facts{};
    for (std::uint32_t draw = 0; draw < 0x8000u; ++draw) {
        int fact = static_cast<int>(draw % 3) - (draw % 10 == 0 ? 128 : 0);
        facts.byDraw[draw] = static_cast<std::int8_t>(fact);
    }
    return facts;
}

inline constexpr DrawFacts drawFacts = drawFactsTable();

// multipleOfTen by the table.
inline bool multipleOfTenByTable(std::uint32_t draw) { return drawFacts.byDraw[draw] < 0; }

// change by the table: the grow draw's sign bit spread over a whole mask
// (all ones when the value shrinks) flips the change draw's remainder.
inline std::int32_t changeByTable(std::uint32_t growDraw, std::uint32_t changeDraw) {
    std::int32_t shrinks = static_cast<std::int32_t>(drawFacts.byDraw[growDraw]) >> 31;
    std::int32_t by = static_cast<std::int32_t>(static_cast<std::uint8_t>(drawFacts.byDraw[changeDraw]) & 3u);
    return (by ^ shrinks) - shrinks;
}

}  // namespace strike_detail

// What a strike roll may assume of the attack and the defence that it
// varies. A value by its change is held between 1 and the top of the 32-bit
// range, a value of 0 or less counting as 1:
//   clamped    any values: the sum is worked out in 64 bits and held
//   raisedOnly every value is at least two above the bottom of the range and
//              two below its top (see withinReach): the sum never leaves the
//              range, and only the raise to 1 is left
//   free       every value varies freely (see variesFreely): the change never
//              takes it to either end, and the sum is the result
enum class Variation { clamped, raisedOnly, free };

namespace strike_detail {

// Saturated and then raised to 1 is the same as held between 1 and the top
// of the 32-bit range: a sum below the range would become its lowest value,
// and then 1.
template <Variation Values>
inline std::int32_t vary(std::uint32_t growDraw, std::uint32_t changeDraw, std::int32_t value) {
    if constexpr (Values == Variation::free) {
        return value + changeByTable(growDraw, changeDraw);
    } else if constexpr (Values == Variation::raisedOnly) {
        return std::max(value + changeByTable(growDraw, changeDraw), 1);
    } else {
        std::int32_t by = change(growDraw, changeDraw);
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(static_cast<std::int64_t>(value) + by, 1,
                                                                  std::numeric_limits<std::int32_t>::max()));
    }
}

// The attack and a half of it, the half truncated toward zero (7 gives 10,
// -3 gives -4). Not raised to 1.
inline std::int32_t criticalAttack(std::int32_t attack) {
    // The sum saturated: it leaves the range only on the attack's side of 0.
    std::int32_t sum;
    if (!__builtin_add_overflow(attack, attack / 2, &sum)) return sum;
    return attack < 0 ? std::numeric_limits<std::int32_t>::min() : std::numeric_limits<std::int32_t>::max();
}

}  // namespace strike_detail

// True when a change of -2 to +2 leaves `value` between 1 and the top of
// the 32-bit range, so that a strike roll with it needs no clamp.
inline bool variesFreely(std::int32_t value) {
    return value >= 3 && value <= std::numeric_limits<std::int32_t>::max() - 2;
}

// True when a change of -2 to +2 keeps `value` within the 32-bit range, so
// that a strike roll with it needs no more than the raise to 1.
inline bool withinReach(std::int32_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() + 2 &&
           value <= std::numeric_limits<std::int32_t>::max() - 2;
}

// The draws in their order: the critical test (of 10); unless the strike is
// critical, the attack's variation (two draws); the defence-side critical
// test (of 10); the defence's variation (two draws); and, when the damage
// comes to 0 or less, a draw of 5 for a damage of 1 to 5. The defence-side
// critical never comes: a draw of 10 is never 11. Its draw is still made, so
// that every later draw falls where it always has.
//
// A critical strike takes no draws for the attack, so the defence's come
// two places earlier: the draws are picked by the critical test among
// those read ahead. With a Variation other than `clamped` the caller knows
// more of the attack and the defence: the result is the same, with fewer
// steps. `criticalStrike` is criticalAttack(attack), which a caller that
// strikes with the same attack blow after blow works out once.
template <Variation Values = Variation::clamped>
[[gnu::always_inline]] inline Strike rollStrike(platform::Random& generator, std::int32_t attack,
                                                std::int32_t defence, std::int32_t criticalStrike) {
    using namespace strike_detail;
    const Draws draws(generator);
    if constexpr (Values == Variation::free) {
        // The strike less the guard, the two values apart first, neither
        // sum leaving the range. A critical strike of an attack of 3 or
        // more is 4 or more, and never raised. The tests by the table.
        bool critical = multipleOfTenByTable(draws.at(1));
        std::int32_t apart = changeByTable(draws.at(2), draws.at(3)) - changeByTable(draws.at(5), draws.at(6));
        std::int32_t damage = critical ? criticalStrike : (attack - defence) + apart;
        bool raised = !critical && damage <= 0;
        // Only a strike that is not critical is raised, by the last draw.
        std::int32_t lifted = 1 + remainderOf<5>(draws.at(7));
        damage = raised ? lifted : damage;
        generator.state = critical ? draws.stateAfter(4) : draws.stateAfter(raised ? 7 : 6);
        return Strike{damage, critical};
    } else {
        bool critical =
            Values == Variation::raisedOnly ? multipleOfTenByTable(draws.at(1)) : multipleOfTen(draws.at(1));
        std::int32_t strike = critical ? criticalStrike : vary<Values>(draws.at(2), draws.at(3), attack);
        std::int32_t guard =
            vary<Values>(critical ? draws.at(3) : draws.at(5), critical ? draws.at(4) : draws.at(6), defence);
        // Both varied values are 1 to the top of the range, so their
        // difference never leaves it.
        std::int32_t damage = critical ? strike : strike - guard;
        bool raised = damage <= 0;
        if (raised) damage = 1 + remainderOf<5>(critical ? draws.at(5) : draws.at(7));
        generator.state = critical ? draws.stateAfter(raised ? 5 : 4) : draws.stateAfter(raised ? 7 : 6);
        return Strike{damage, critical};
    }
}

template <Variation Values = Variation::clamped>
[[gnu::always_inline]] inline Strike rollStrike(platform::Random& generator, std::int32_t attack,
                                                std::int32_t defence) {
    return rollStrike<Values>(generator, attack, defence, strike_detail::criticalAttack(attack));
}
