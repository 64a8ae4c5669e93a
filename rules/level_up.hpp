#pragma once
#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/random.hpp"
#include "rules/records.hpp"
#include "rules/roster.hpp"
#include "rules/saturating.hpp"
#include "rules/totals.hpp"

// The level-up after a battle: when exp has reached nextLevelExp, the four
// maxima grow by 1 to 4 each, hp by the HP gain (no refill), ap, dp and sp
// are brought to their maxima, exp falls by nextLevelExp and the totals are
// rebuilt. A level-up is its gains' draws and then their application, each
// inline: the balance report levels a fresh player up before each of its
// battles, many times over.

struct StatGains {
    std::int32_t hp;
    std::int32_t ap;
    std::int32_t dp;
    std::int32_t sp;
};

// The gain base from the first level-up on. Every level-up sets it before
// its draws, so every gain is a draw of 4 plus this.
constexpr std::int32_t levelUpGainBase = 1;

// The least and the most that one level-up adds to a statistic: the gain
// base plus a draw of 4.
constexpr std::int32_t leastStatGain = levelUpGainBase;
constexpr std::int32_t mostStatGain = levelUpGainBase + 3;

// True when the check after a battle brings a level-up.
inline bool levelUpDue(const PlayerRecord& player) { return player.exp >= player.nextLevelExp; }

namespace level_up_detail {

// The four gains' draws, read ahead at once.
using GainDraws = platform::DrawsAhead<4>;

// 1 to 4.
inline std::int32_t drawStatGain(GainDraws& random) { return random.next() % 4 + levelUpGainBase; }

// A gain is 1 or more (1 to 4 for each level-up), so the sum can pass only
// the top of the range.
inline std::int32_t grown(std::int32_t value, std::int32_t gain) {
    std::int32_t sum;
    return __builtin_add_overflow(value, gain, &sum) ? std::numeric_limits<std::int32_t>::max() : sum;
}

}  // namespace level_up_detail

// One level-up's gains, drawn in the order HP, AP, DP, SP.
inline StatGains drawStatGains(platform::Random& generator) {
    level_up_detail::GainDraws random(generator);
    StatGains gains{};
    gains.hp = level_up_detail::drawStatGain(random);
    gains.ap = level_up_detail::drawStatGain(random);
    gains.dp = level_up_detail::drawStatGain(random);
    gains.sp = level_up_detail::drawStatGain(random);
    random.moveOn(generator);
    return gains;
}

// The gains of `levelUps` level-ups one after another, added up: the same
// as drawStatGains that many times. A gain less 1 is a draw modulo 4, bits
// 16 and 17 of the generator's state; those bits of each draw's state are
// added up in place and moved down once, at the end. No draw for 0 or fewer.
inline StatGains drawStatGainsOf(int levelUps, platform::Random& generator) {
    constexpr std::uint32_t gainBits = 0x30000u;
    // Each sum starts at the gain base of every level-up, in place too.
    const std::uint64_t bases = static_cast<std::uint64_t>(levelUps > 0 ? levelUps : 0) * (levelUpGainBase << 16);
    std::uint64_t hp = bases;
    std::uint64_t ap = bases;
    std::uint64_t dp = bases;
    std::uint64_t sp = bases;
    std::uint32_t state = generator.state;
    for (int level = 0; level < levelUps; ++level) {
        level_up_detail::GainDraws draws(platform::Random{state});
        hp += draws.stateAfter(1) & gainBits;
        ap += draws.stateAfter(2) & gainBits;
        dp += draws.stateAfter(3) & gainBits;
        sp += draws.stateAfter(4) & gainBits;
        state = draws.stateAfter(4);
    }
    generator.state = state;
    auto total = [](std::uint64_t bits) { return static_cast<std::int32_t>(bits >> 16); };
    return StatGains{total(hp), total(ap), total(dp), total(sp)};
}

// The gains of level-ups one after another, added up.
inline StatGains& operator+=(StatGains& total, const StatGains& gains) {
    total.hp += gains.hp;
    total.ap += gains.ap;
    total.dp += gains.dp;
    total.sp += gains.sp;
    return total;
}

// `levelUps` level-ups in a row, whatever exp holds, by their gains added
// up, with the totals rebuilt from the carried items' bonus sums. Every gain
// is 1 or more and every sum is held below the top alone, so the added-up
// gains applied once leave the same fields as each level-up in turn; exp
// falls by nextLevelExp once for each, worked out exactly and then held.
inline void applyLevelUps(PlayerRecord& player, const StatGains& total, int levelUps, const BonusSums& bonuses) {
    using level_up_detail::grown;
    player.statGainBase = levelUpGainBase;
    player.maxHp = grown(player.maxHp, total.hp);
    player.maxAp = grown(player.maxAp, total.ap);
    player.maxDp = grown(player.maxDp, total.dp);
    player.maxSp = grown(player.maxSp, total.sp);

    player.hp = grown(player.hp, total.hp);
    player.ap = player.maxAp;
    player.dp = player.maxDp;
    player.sp = player.maxSp;
    player.exp = saturate(static_cast<std::int64_t>(player.exp) -
                          static_cast<std::int64_t>(levelUps) * player.nextLevelExp);
    recomputeTotals(player, bonuses);
}

// One level-up's gains applied, whatever exp holds.
inline void applyStatGains(PlayerRecord& player, const StatGains& gains, const BonusSums& bonuses) {
    applyLevelUps(player, gains, 1, bonuses);
}

// One level-up, whatever exp holds: its gains drawn and applied.
inline StatGains levelUp(PlayerRecord& player, const EquipmentItem (&equipment)[equipmentCount],
                         platform::Random& random) {
    StatGains gains = drawStatGains(random);
    applyStatGains(player, gains, bonusSums(equipment));
    return gains;
}
