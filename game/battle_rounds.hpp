#pragma once
#include <cstdint>

#include "game/saturating.hpp"
#include "game/strike_roll.hpp"

// The rules of a fight, shared by the battle that the player watches and the
// silent simulation of the balance report. A Narrator is told of every turn
// and blow: `turnBegins(playerHp)`, `blowStruck(byPlayer, damage, critical)`,
// `betweenTurns()`.

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

// The test after every blow: an HP at 0 or below becomes 0; the player's
// fall is tested before the enemy's.
inline Outcome testResult(FightState& state) {
    if (state.playerHp <= 0) state.playerHp = 0;
    if (state.enemyHp <= 0) state.enemyHp = 0;
    if (state.playerHp == 0) return Outcome::defeat;
    if (state.enemyHp == 0) return Outcome::victory;
    return Outcome::goesOn;
}

template <typename Narrator>
Outcome strikeBlow(FightState& state, bool byPlayer, Narrator& narrator) {
    Strike strike = byPlayer ? rollStrike(state.playerAttack, state.enemyDefence)
                             : rollStrike(state.enemyAttack, state.playerDefence);
    ++state.blows;
    narrator.blowStruck(byPlayer, strike.damage, strike.critical);
    std::int32_t& target = byPlayer ? state.enemyHp : state.playerHp;
    target = saturate(static_cast<std::int64_t>(target) - strike.damage);
    return testResult(state);
}

// Whether the player strikes first: a tie goes to the player.
inline bool playerStrikesFirst(const FightState& state) { return state.playerSp >= state.enemySp; }

// Turns until one side falls: the turn's start, the first mover's blow, the
// other's blow, the pause between turns.
template <typename Narrator>
Outcome fightRounds(FightState& state, Narrator& narrator) {
    bool playerFirst = playerStrikesFirst(state);
    for (;;) {
        narrator.turnBegins(state.playerHp);
        Outcome outcome = strikeBlow(state, playerFirst, narrator);
        if (outcome != Outcome::goesOn) return outcome;
        outcome = strikeBlow(state, !playerFirst, narrator);
        if (outcome != Outcome::goesOn) return outcome;
        narrator.betweenTurns();
    }
}
