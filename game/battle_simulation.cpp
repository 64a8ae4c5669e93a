#include "game/battle_simulation.hpp"

#include "game/battle_rounds.hpp"
#include "game/level_up.hpp"
#include "game/saturating.hpp"

namespace {

struct SilentNarrator {
    void turnBegins(std::int32_t) {}
    void blowStruck(bool, std::int32_t, bool) {}
    void betweenTurns() {}
};

}  // namespace

SimulatedBattle simulateBattle(const Combatant& player, const Combatant& enemy) {
    FightState state{player.hp, player.sp, player.attack, player.defence,
                     enemy.hp,  enemy.sp,  enemy.attack,  enemy.defence};
    SilentNarrator narrator;
    Outcome outcome = fightRounds(state, narrator);
    return SimulatedBattle{outcome == Outcome::victory, state.blows, state.playerHp};
}

Combatant levelledUp(Combatant player, int levelUps) {
    for (int i = 0; i < levelUps; ++i) {
        // The order of the gains is the level-up's: HP, AP, DP, SP.
        std::int32_t hpGain = drawStatGain(1);
        std::int32_t apGain = drawStatGain(1);
        std::int32_t dpGain = drawStatGain(1);
        std::int32_t spGain = drawStatGain(1);
        player.hp = saturate(static_cast<std::int64_t>(player.hp) + hpGain);
        player.attack = saturate(static_cast<std::int64_t>(player.attack) + apGain);
        player.defence = saturate(static_cast<std::int64_t>(player.defence) + dpGain);
        player.sp = saturate(static_cast<std::int64_t>(player.sp) + spGain);
    }
    return player;
}
