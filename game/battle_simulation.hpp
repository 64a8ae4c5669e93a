#pragma once
#include <cstdint>

// Battles fought by the game's own rules and draws, silently: what the
// balance report measures.

struct Combatant {
    std::int32_t hp;
    std::int32_t attack;   // for the player: the attack total
    std::int32_t defence;  // for the player: the defence total
    std::int32_t sp;
};

struct SimulatedBattle {
    bool won;
    std::int64_t blows;
    std::int32_t playerHpLeft;
};

SimulatedBattle simulateBattle(const Combatant& player, const Combatant& enemy);

// The player after `levelUps` level-ups, each drawing its four gains of 1 to 4
// as a level-up does, standing at full hit points.
Combatant levelledUp(Combatant player, int levelUps);
