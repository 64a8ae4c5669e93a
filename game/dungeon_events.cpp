#include "game/dungeon_events.hpp"

#include "game/game_state.hpp"
#include "game/narration.hpp"
#include "rules/dungeon_events.hpp"

void rollDungeonEvent() {
    GameNarrator narrator;
    dungeonEvent(player, equipment, gameRandom(), narrator);
}
