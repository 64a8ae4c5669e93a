#include "rules/level_up.hpp"

#include "rules/saturating.hpp"
#include "rules/totals.hpp"

namespace {

std::int32_t grown(std::int32_t value, std::int32_t gain) {
    return saturate(static_cast<std::int64_t>(value) + gain);
}

// The four gains' draws, read ahead at once (the report levels up a fresh
// player before each of its battles).
using GainDraws = platform::DrawsAhead<4>;

std::int32_t drawStatGain(GainDraws& random, std::int32_t base) {
    return saturate(static_cast<std::int64_t>(random.next() % 4) + base);
}

}  // namespace

StatGains levelUp(PlayerRecord& player, const EquipmentItem (&equipment)[equipmentCount],
                  platform::Random& generator) {
    GainDraws random(generator);
    player.statGainBase = 1;
    StatGains gains{};
    gains.hp = drawStatGain(random, player.statGainBase);
    player.maxHp = grown(player.maxHp, gains.hp);
    gains.ap = drawStatGain(random, player.statGainBase);
    player.maxAp = grown(player.maxAp, gains.ap);
    gains.dp = drawStatGain(random, player.statGainBase);
    player.maxDp = grown(player.maxDp, gains.dp);
    gains.sp = drawStatGain(random, player.statGainBase);
    player.maxSp = grown(player.maxSp, gains.sp);

    player.hp = grown(player.hp, gains.hp);
    player.ap = player.maxAp;
    player.dp = player.maxDp;
    player.sp = player.maxSp;
    player.exp = saturate(static_cast<std::int64_t>(player.exp) - player.nextLevelExp);
    random.moveOn(generator);
    recomputeTotals(player, equipment);
    return gains;
}
