#pragma once
#include <cstdint>

#include "platform/random.hpp"
#include "rules/dungeon_events.hpp"
#include "rules/fight.hpp"
#include "rules/map.hpp"
#include "rules/records.hpp"
#include "rules/roster.hpp"

// One turn of play after a movement word, in its fixed order and with its
// draws: the move; a draw of 4 that brings a dungeon event on a 0; the boss
// gate when the player stands on the goal; otherwise, when no event came,
// the encounter roll. The caller prints the command echo before it and
// reads the next command after it.
//
// The narrator is the battle's (rules/fight.hpp) and the dungeon event's
// (rules/dungeon_events.hpp), and besides:
//   moved(direction, refused, x, y)   the refusal, if any, and the position
//   askBossFight()                    true to fight the boss now
//   missionClear()                    the boss was beaten
//   encounter()                       an enemy comes, before its battle

// The caller's own objects that a turn reads and changes.
struct Table {
    PlayerRecord& player;
    EquipmentItem (&equipment)[equipmentCount];
    const EnemyRecord (&roster)[enemyCount];
    MapPlace map;
    std::int32_t playMode;
};

enum class TurnEnd { goOn, endGame };

// The encounter roll: an even draw brings an enemy of index 0 to 3 (1 to 3
// with the dormant playMode 1).
inline int drawEncounterIndex(platform::Random& random, std::int32_t playMode) {
    return playMode == 1 ? random.next() % 3 + 1 : random.next() % 4;
}

template <typename Narrator>
void encounterRoll(Table& table, platform::Random& random, Narrator& narrator) {
    if (random.next() % 2 != 0) return;
    narrator.encounter();
    int enemyIndex = drawEncounterIndex(random, table.playMode);
    fightBattle(table.player, table.equipment, table.roster[enemyIndex], random, narrator);
}

// The boss question and, when it is taken up, the boss fight, which ends
// the game whatever its outcome. Either answer clears atGoal.
template <typename Narrator>
TurnEnd bossGate(Table& table, platform::Random& random, Narrator& narrator) {
    if (narrator.askBossFight()) {
        Outcome outcome = fightBattle(table.player, table.equipment, table.roster[bossIndex], random, narrator);
        if (outcome == Outcome::victory) narrator.missionClear();
        table.map.atGoal = 0;
        return TurnEnd::endGame;
    }
    table.map.atGoal = 0;
    return TurnEnd::goOn;
}

// The turn's end: the game ends when the player's hp is 0 or less.
inline TurnEnd endOfTurn(const PlayerRecord& player) { return player.hp <= 0 ? TurnEnd::endGame : TurnEnd::goOn; }

// The move alone: one square, then the narrator shows where it led.
template <typename Narrator>
void moveOnMap(MapPlace& place, Direction direction, Narrator& narrator) {
    bool refused = stepOnMap(place, direction);
    narrator.moved(direction, refused, place.playerX, place.playerY);
}

// In line: the game's command loop and the report's whole games run it for
// every move, and a call of it cost about as much as the move's own work.
template <typename Narrator>
[[gnu::always_inline]] inline TurnEnd moveTurn(Table& table, Direction direction, platform::Random& random,
                                               Narrator& narrator) {
    moveOnMap(table.map, direction, narrator);
    bool eventCame = random.next() % 4 == 0;
    if (eventCame) dungeonEvent(table.player, table.equipment, random, narrator);
    if (table.map.atGoal == 1) {
        if (bossGate(table, random, narrator) == TurnEnd::endGame) return TurnEnd::endGame;
    } else if (!eventCame) {
        encounterRoll(table, random, narrator);
    }
    return endOfTurn(table.player);
}
