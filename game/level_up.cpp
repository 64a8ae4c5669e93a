#include "game/level_up.hpp"

#include "game/game_state.hpp"
#include "game/narration.hpp"
#include "rules/level_up.hpp"

void checkLevelUp() {
    if (!levelUpDue(player)) return;
    GameNarrator narrator;
    narrator.levelledUp(levelUp(player, equipment, gameRandom()));
}
