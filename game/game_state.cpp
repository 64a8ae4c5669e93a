#include "game/game_state.hpp"

#include <cstdio>

PlayerRecord player;
EnemyRecord editEnemies[enemyCount];
EnemyRecord builtinEnemies[enemyCount];
EquipmentItem equipment[equipmentCount];
std::int32_t playerX;
std::int32_t playerY;
std::int32_t goalX;
std::int32_t goalY;
std::int32_t atGoal;
std::int32_t playMode;
std::int32_t quietLoad;

namespace {

void fillNamedRoster(EnemyRecord (&roster)[enemyCount], const char* stem) {
    for (int i = 0; i < enemyCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%s%d", stem, i + 1);
        fillEnemyRecord(roster[i], 0, 0, 0, 0, name);
    }
}

// Makes sure the objects hold their initial values before main runs.
const bool stateReady = (resetGameState(), true);

}  // namespace

void resetGameState() {
    player = startPlayer();
    fillNamedRoster(editEnemies, "editmonster");
    fillNamedRoster(builtinEnemies, "automonster");
    startItems(equipment);
    playerX = startSquare.x;
    playerY = startSquare.y;
    goalX = 0;
    goalY = 0;
    atGoal = 0;
    playMode = 0;
    quietLoad = 0;
    (void)stateReady;
}
