#pragma once
#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "platform/random.hpp"
#include "rules/level_up.hpp"
#include "rules/records.hpp"
#include "rules/roster.hpp"
#include "rules/saturating.hpp"
#include "rules/strike_roll.hpp"

// The rules of a battle, for the battle that the player watches and for the
// silent ones of a simulation alike. A narrator is told of every step and
// prints it, or does nothing; it never draws from the generator:
//   battleBegins(enemy)                     the header and the enemy's entry
//   firstMover(playerFirst)
//   turnBegins(playerHp)
//   blowStruck(byPlayer, damage, critical)
//   betweenTurns()
//   battleEnds(outcome, enemy)              the result and the status line
//   levelledUp(gains)                       after the player's fields changed
//   battleClosed()

// What a battle takes when it starts and holds until it ends: the enemy's
// record is never written, so the next battle against it starts afresh.
struct FightState {
    std::int32_t playerHp;
    std::int32_t playerSp;
    std::int32_t playerAttack;
    std::int32_t playerDefence;
    std::int32_t enemyHp;
    std::int32_t enemySp;
    std::int32_t enemyAttack;
    std::int32_t enemyDefence;
    std::int64_t blows = 0;  // a fight of two billion-HP sides outlasts 32 bits
};

enum class Outcome { goesOn, defeat, victory };

// The player fights with the attack and defence totals, not with ap and dp.
inline FightState takeSides(const PlayerRecord& player, const EnemyRecord& enemy) {
    return FightState{player.hp, player.sp, player.attackTotal, player.defenceTotal,
                      enemy.hp,  enemy.sp,  enemy.ap,           enemy.dp};
}

// Whether the player strikes first: a tie goes to the player.
inline bool playerStrikesFirst(const FightState& state) { return state.playerSp >= state.enemySp; }

// The test after every blow: an HP at 0 or below becomes 0; the player's
// fall is tested before the enemy's.
// Each HP is set to 0 on the way out of the fight that it ends, so that a
// fight that goes on sets nothing.
inline Outcome testResult(FightState& state) {
    if (state.playerHp <= 0) {
        state.playerHp = 0;
        if (state.enemyHp <= 0) state.enemyHp = 0;
        return Outcome::defeat;
    }
    if (state.enemyHp <= 0) {
        state.enemyHp = 0;
        return Outcome::victory;
    }
    return Outcome::goesOn;
}

// A narrator that tells nothing.
struct SilentNarrator {
    void battleBegins(const EnemyRecord&) {}
    void firstMover(bool) {}
    void turnBegins(std::int32_t) {}
    void blowStruck(bool, std::int32_t, bool) {}
    void betweenTurns() {}
    void battleEnds(Outcome, const EnemyRecord&) {}
    void levelledUp(const StatGains&) {}
    void battleClosed() {}
};

// The target's hp after a blow. The damage is 1 or more, so the hp only
// falls, and at 0 or below it is 0, as the test after the blow makes it.
inline std::int32_t struck(std::int32_t hp, std::int32_t damage) {
    return static_cast<std::int32_t>(std::max<std::int64_t>(static_cast<std::int64_t>(hp) - damage, 0));
}

// Inline, with the strike roll, in every fight's loop of turns.
template <bool Free, typename Narrator>
[[gnu::always_inline]] inline Outcome strikeBlow(FightState& state, bool byPlayer, platform::Random& random,
                                                Narrator& narrator) {
    // The striker's attack and the target's defence picked first, so that
    // the loop holds one strike roll for each blow of a turn, not two.
    std::int32_t attack = byPlayer ? state.playerAttack : state.enemyAttack;
    std::int32_t defence = byPlayer ? state.enemyDefence : state.playerDefence;
    Strike strike = rollStrike<Free>(random, attack, defence);
    ++state.blows;
    narrator.blowStruck(byPlayer, strike.damage, strike.critical);
    // Each side by its own field, not by a reference to one of them: the
    // hit points then stay in registers for the length of the fight.
    if (byPlayer) {
        state.enemyHp = struck(state.enemyHp, strike.damage);
    } else {
        state.playerHp = struck(state.playerHp, strike.damage);
    }
    return testResult(state);
}

// Turns until one side falls: the turn's start, the first mover's blow, the
// other's blow, the pause between turns.
template <bool Free, typename Narrator>
[[gnu::always_inline]] inline Outcome turnsUntilFall(FightState& state, bool playerFirst, platform::Random& draws,
                                                    Narrator& narrator) {
    Outcome outcome;
    for (;;) {
        narrator.turnBegins(state.playerHp);
        outcome = strikeBlow<Free>(state, playerFirst, draws, narrator);
        if (outcome != Outcome::goesOn) break;
        outcome = strikeBlow<Free>(state, !playerFirst, draws, narrator);
        if (outcome != Outcome::goesOn) break;
        narrator.betweenTurns();
    }
    return outcome;
}

// True when every attack and defence of the fight varies freely, as they
// do in all but extreme data: its strike rolls then need no clamps.
inline bool variesFreely(const FightState& state) {
    return variesFreely(state.playerAttack) && variesFreely(state.playerDefence) && variesFreely(state.enemyAttack) &&
           variesFreely(state.enemyDefence);
}

// The fight's turns. The strike roll without clamps gives the same blows
// where the values allow it.
template <typename Narrator>
[[gnu::always_inline]] inline Outcome fightRounds(FightState& state, platform::Random& random, Narrator& narrator) {
    // The generator works on a copy for the length of the fight, which lets
    // it stay in a register; narrators never draw.
    platform::Random draws = random;
    bool playerFirst = playerStrikesFirst(state);
    Outcome outcome;
    if constexpr (std::is_same_v<Narrator, SilentNarrator>) {
        // A silent fight by a loop of its own for each first mover, where
        // the values allow a strike roll without clamps. A narrated one
        // prints every blow, which outweighs its strike roll many times
        // over, and keeps the one loop that fits every fight.
        if (variesFreely(state)) {
            outcome = playerFirst ? turnsUntilFall<true>(state, true, draws, narrator)
                                  : turnsUntilFall<true>(state, false, draws, narrator);
        } else {
            outcome = turnsUntilFall<false>(state, playerFirst, draws, narrator);
        }
    } else {
        outcome = turnsUntilFall<false>(state, playerFirst, draws, narrator);
    }
    random = draws;
    return outcome;
}

// The whole battle: the fight, the reward of a victory, the level-up check
// (after a defeat as well) and the closing. The player's hp is 0 after a
// defeat, never below. Returns the outcome, victory or defeat.
template <typename Narrator>
Outcome fightBattle(PlayerRecord& player, const EquipmentItem (&equipment)[equipmentCount],
                    const EnemyRecord& enemy, platform::Random& random, Narrator& narrator) {
    narrator.battleBegins(enemy);
    FightState state = takeSides(player, enemy);
    narrator.firstMover(playerStrikesFirst(state));
    Outcome outcome = fightRounds(state, random, narrator);
    player.hp = state.playerHp;
    if (outcome == Outcome::victory) player.exp = saturate(static_cast<std::int64_t>(player.exp) + enemy.expReward);
    narrator.battleEnds(outcome, enemy);
    if (levelUpDue(player)) narrator.levelledUp(levelUp(player, equipment, random));
    narrator.battleClosed();
    return outcome;
}

// A fight alone, silently, as a simulation measures it: who won, in how many
// blows, with how much of the player's hp left. Inline, with the loop of
// turns, where the simulation fights its battles one after another.
struct FightResult {
    bool won;
    std::int64_t blows;
    std::int32_t playerHpLeft;
};

[[gnu::always_inline]] inline FightResult fightSilently(const PlayerRecord& player, const EnemyRecord& enemy,
                                                      platform::Random& random) {
    FightState state = takeSides(player, enemy);
    SilentNarrator narrator;
    Outcome outcome = fightRounds(state, random, narrator);
    return FightResult{outcome == Outcome::victory, state.blows, state.playerHp};
}
