#include "game/level_up.hpp"

#include <cstdint>

#include "game/equipment.hpp"
#include "game/game_state.hpp"
#include "game/saturating.hpp"
#include "platform/console.hpp"
#include "platform/random.hpp"

using platform::out;

namespace {

const char* const bannerLine = "--------------------------------------";

struct StatGains {
    std::int32_t hp;
    std::int32_t ap;
    std::int32_t dp;
    std::int32_t sp;
};

std::int32_t grown(std::int32_t value, std::int32_t gain) {
    return saturate(static_cast<std::int64_t>(value) + gain);
}

// Draws the gains in the order HP, AP, DP, SP and adds each to its maximum.
StatGains raiseMaxima() {
    StatGains gains{};
    gains.hp = drawStatGain(player.statGainBase);
    player.maxHp = grown(player.maxHp, gains.hp);
    gains.ap = drawStatGain(player.statGainBase);
    player.maxAp = grown(player.maxAp, gains.ap);
    gains.dp = drawStatGain(player.statGainBase);
    player.maxDp = grown(player.maxDp, gains.dp);
    gains.sp = drawStatGain(player.statGainBase);
    player.maxSp = grown(player.maxSp, gains.sp);
    return gains;
}

}  // namespace

std::int32_t drawStatGain(std::int32_t base) {
    return saturate(static_cast<std::int64_t>(platform::nextRandom() % 4) + base);
}

void checkLevelUp() {
    if (player.exp < player.nextLevelExp) return;

    out << bannerLine << "\n" << "LV.UP" << "\n" << bannerLine << "\n" << "lvが上がった。" << "\n";
    player.statGainBase = 1;
    StatGains gains = raiseMaxima();
    out << "追加ステータス。" << "HP:+" << gains.hp << " AP:+" << gains.ap << " DP:+" << gains.dp
        << " SP:+" << gains.sp << "\n";
    out << player.name << "の最大値は" << "HP(MAX):" << player.maxHp << " AP(MAX):" << player.maxAp
        << " DP(MAX):" << player.maxDp << " SP(MAX):" << player.maxSp << "\n";

    // The HP gain is added, not a refill; the rest stand at their maxima.
    player.hp = grown(player.hp, gains.hp);
    player.ap = player.maxAp;
    player.dp = player.maxDp;
    player.sp = player.maxSp;
    out << "現在" << player.name << "は" << "HP:" << player.hp << " AP:" << player.ap
        << " DP:" << player.dp << " SP:" << player.sp << "\n";

    player.exp = saturate(static_cast<std::int64_t>(player.exp) - player.nextLevelExp);
    recomputeTotals();
}
