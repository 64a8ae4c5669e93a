#include "game/movement.hpp"

#include "game/game_state.hpp"
#include "game/narration.hpp"
#include "rules/turn.hpp"

void movePlayer(std::string line) {
    std::optional<Direction> direction = directionOf(line);
    if (!direction) return;
    MapPlace place{playerX, playerY, goalX, goalY, atGoal};
    GameNarrator narrator;
    moveOnMap(place, *direction, narrator);
}
