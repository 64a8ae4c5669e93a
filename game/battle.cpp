#include "game/battle.hpp"

#include "game/game_state.hpp"
#include "game/narration.hpp"
#include "rules/fight.hpp"

bool runBattle(int enemyIndex) {
    GameNarrator narrator;
    return fightBattle(player, equipment, rosterEnemy(enemyIndex), gameRandom(), narrator) == Outcome::victory;
}
