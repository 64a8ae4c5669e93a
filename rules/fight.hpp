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

// How a fight's turns are worked out. The general loop fits every fight;
// a silent fight whose sides both stand when it starts, and whose attacks
// and defences allow a strike roll with fewer clamps, takes a loop of its
// own for its first mover, with the same blows.
enum class FightLoop { general, raisedOnlyPlayerFirst, raisedOnlyEnemyFirst, freePlayerFirst, freeEnemyFirst };

// The critical strikes of both sides, worked out once for the fight, or
// once for many fights from the same sides.
struct CriticalStrikes {
    std::int32_t player;
    std::int32_t enemy;
};

inline CriticalStrikes criticalStrikes(const FightState& state) {
    return CriticalStrikes{strike_detail::criticalAttack(state.playerAttack),
                           strike_detail::criticalAttack(state.enemyAttack)};
}

// Inline, with the strike roll, in every fight's loop of turns. With
// `Standing` both sides stood before the blow: only the target can fall,
// and its hp minus the damage (1 or more) stays within the 32-bit range.
template <Variation Values, bool Standing, typename Narrator>
[[gnu::always_inline]] inline Outcome strikeBlow(FightState& state, bool byPlayer, const CriticalStrikes& criticals,
                                                platform::Random& random, Narrator& narrator) {
    // The striker's attack and the target's defence picked first, so that
    // the loop holds one strike roll for each blow of a turn, not two.
    std::int32_t attack = byPlayer ? state.playerAttack : state.enemyAttack;
    std::int32_t defence = byPlayer ? state.enemyDefence : state.playerDefence;
    // The general loop works out a critical strike only when one comes:
    // the game's battles are short, and mostly without one.
    Strike strike = Values == Variation::clamped
                        ? rollStrike<Values>(random, attack, defence)
                        : rollStrike<Values>(random, attack, defence, byPlayer ? criticals.player : criticals.enemy);
    ++state.blows;
    narrator.blowStruck(byPlayer, strike.damage, strike.critical);
    if constexpr (Standing) {
        // The test after the blow, for the one hp that changed.
        std::int32_t& hp = byPlayer ? state.enemyHp : state.playerHp;
        hp -= strike.damage;
        if (hp > 0) return Outcome::goesOn;
        hp = 0;
        return byPlayer ? Outcome::victory : Outcome::defeat;
    } else {
        // Each side by its own field, not by a reference to one of them: the
        // hit points then stay in registers for the length of the fight.
        if (byPlayer) {
            state.enemyHp = struck(state.enemyHp, strike.damage);
        } else {
            state.playerHp = struck(state.playerHp, strike.damage);
        }
        return testResult(state);
    }
}

// Turns until one side falls: the turn's start, the first mover's blow, the
// other's blow, the pause between turns.
template <Variation Values, bool Standing, typename Narrator>
[[gnu::always_inline]] inline Outcome turnsUntilFall(FightState& state, bool playerFirst,
                                                    const CriticalStrikes& criticals, platform::Random& draws,
                                                    Narrator& narrator) {
    Outcome outcome;
    for (;;) {
        narrator.turnBegins(state.playerHp);
        outcome = strikeBlow<Values, Standing>(state, playerFirst, criticals, draws, narrator);
        if (outcome != Outcome::goesOn) break;
        outcome = strikeBlow<Values, Standing>(state, !playerFirst, criticals, draws, narrator);
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

// True when every attack and defence of the fight stays within the range
// as it varies: its strike rolls then need the raise to 1 at most.
inline bool withinReach(const FightState& state) {
    return withinReach(state.playerAttack) && withinReach(state.playerDefence) && withinReach(state.enemyAttack) &&
           withinReach(state.enemyDefence);
}

// The loop for a silent fight from `state`: any loop but the general one
// takes sides that both stand, with the first mover and the values that it
// was picked for.
inline FightLoop silentFightLoop(const FightState& state) {
    if (state.playerHp <= 0 || state.enemyHp <= 0) return FightLoop::general;
    bool playerFirst = playerStrikesFirst(state);
    if (variesFreely(state)) return playerFirst ? FightLoop::freePlayerFirst : FightLoop::freeEnemyFirst;
    if (withinReach(state)) return playerFirst ? FightLoop::raisedOnlyPlayerFirst : FightLoop::raisedOnlyEnemyFirst;
    return FightLoop::general;
}

// The turns of a fight by the given loop. A narrated fight prints every
// blow, which outweighs its strike roll many times over, and keeps the
// general loop.
template <FightLoop Loop, typename Narrator>
[[gnu::always_inline]] inline Outcome fightRoundsBy(FightState& state, const CriticalStrikes& criticals,
                                                   platform::Random& random, Narrator& narrator) {
    // The generator works on a copy for the length of the fight, which lets
    // it stay in a register; narrators never draw.
    platform::Random draws = random;
    Outcome outcome;
    if constexpr (Loop == FightLoop::freePlayerFirst) {
        outcome = turnsUntilFall<Variation::free, true>(state, true, criticals, draws, narrator);
    } else if constexpr (Loop == FightLoop::freeEnemyFirst) {
        outcome = turnsUntilFall<Variation::free, true>(state, false, criticals, draws, narrator);
    } else if constexpr (Loop == FightLoop::raisedOnlyPlayerFirst) {
        outcome = turnsUntilFall<Variation::raisedOnly, true>(state, true, criticals, draws, narrator);
    } else if constexpr (Loop == FightLoop::raisedOnlyEnemyFirst) {
        outcome = turnsUntilFall<Variation::raisedOnly, true>(state, false, criticals, draws, narrator);
    } else {
        outcome =
            turnsUntilFall<Variation::clamped, false>(state, playerStrikesFirst(state), criticals, draws, narrator);
    }
    random = draws;
    return outcome;
}

// Calls `body` with the loop as a compile-time constant
// (std::integral_constant), so that a caller that fights many times from
// the same sides picks the loop once, outside its own loop.
template <typename Body>
[[gnu::always_inline]] inline decltype(auto) withFightLoop(FightLoop loop, Body&& body) {
    switch (loop) {
        case FightLoop::freePlayerFirst:
            return body(std::integral_constant<FightLoop, FightLoop::freePlayerFirst>{});
        case FightLoop::freeEnemyFirst:
            return body(std::integral_constant<FightLoop, FightLoop::freeEnemyFirst>{});
        case FightLoop::raisedOnlyPlayerFirst:
            return body(std::integral_constant<FightLoop, FightLoop::raisedOnlyPlayerFirst>{});
        case FightLoop::raisedOnlyEnemyFirst:
            return body(std::integral_constant<FightLoop, FightLoop::raisedOnlyEnemyFirst>{});
        case FightLoop::general:
            break;
    }
    return body(std::integral_constant<FightLoop, FightLoop::general>{});
}

// The fight's turns.
template <typename Narrator>
[[gnu::always_inline]] inline Outcome fightRounds(FightState& state, platform::Random& random, Narrator& narrator) {
    if constexpr (std::is_same_v<Narrator, SilentNarrator>) {
        const CriticalStrikes criticals = criticalStrikes(state);
        return withFightLoop(silentFightLoop(state),
                             [&](auto loop) { return fightRoundsBy<loop()>(state, criticals, random, narrator); });
    } else {
        // The general loop takes no critical strikes worked out ahead.
        return fightRoundsBy<FightLoop::general>(state, CriticalStrikes{}, random, narrator);
    }
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

// The silent fight from sides already taken, by the loop that
// silentFightLoop picks for them and with their criticalStrikes.
template <FightLoop Loop>
[[gnu::always_inline]] inline FightResult fightSilentlyBy(FightState state, const CriticalStrikes& criticals,
                                                        platform::Random& random) {
    SilentNarrator narrator;
    Outcome outcome = fightRoundsBy<Loop>(state, criticals, random, narrator);
    return FightResult{outcome == Outcome::victory, state.blows, state.playerHp};
}

[[gnu::always_inline]] inline FightResult fightSilently(const PlayerRecord& player, const EnemyRecord& enemy,
                                                      platform::Random& random) {
    const FightState state = takeSides(player, enemy);
    const CriticalStrikes criticals = criticalStrikes(state);
    return withFightLoop(silentFightLoop(state),
                         [&](auto loop) { return fightSilentlyBy<loop()>(state, criticals, random); });
}
