#pragma once
#include <cstdint>
#include <string_view>

#include "platform/console.hpp"
#include "platform/random.hpp"
#include "rules/content.hpp"
#include "rules/records.hpp"
#include "rules/roster.hpp"
#include "rules/turn.hpp"

// The game's process-wide state. The objects exist with their initial values
// before the game starts and live until it ends; every operation of the game
// reads and changes them in place, through the rules of play.

extern PlayerRecord player;
extern EnemyRecord editEnemies[enemyCount];
extern EnemyRecord builtinEnemies[enemyCount];
extern EquipmentItem equipment[equipmentCount];
extern std::int32_t playerX;
extern std::int32_t playerY;
extern std::int32_t goalX;
extern std::int32_t goalY;
extern std::int32_t atGoal;
extern std::int32_t playMode;
extern std::int32_t quietLoad;

// Puts every object back to its initial value (a new game in the same process).
void resetGameState();

// The roster that battles fight: the edit data's enemies in edit play, the
// game's own roster otherwise.
// Inline, as every turn asks for them.
inline const EnemyRecord (&roster())[enemyCount] { return playMode == editPlayMode ? editEnemies : builtinEnemies; }
inline const EnemyRecord& rosterEnemy(int enemyIndex) { return roster()[enemyIndex]; }

// The game's objects as the rules of a turn see them.
inline Table gameTable() {
    return Table{player, equipment, roster(), MapPlace{playerX, playerY, goalX, goalY, atGoal}, playMode};
}

// The generator that the game draws from.
inline platform::Random& gameRandom() { return platform::programRandom(); }

// The status line of the player's current statistics. Inline: every
// battle's end prints it.
template <platform::LineForm Form = platform::LineForm::any>
inline void printPlayerStatus() {
    using namespace platform::literals;
    platform::out.putIn<Form>(player.name, "のステータスはHP:"_phrase, player.hp, " AP:"_phrase, player.ap, " DP:"_phrase, player.dp,
                      " SP:"_phrase, player.sp, '\n');
}
