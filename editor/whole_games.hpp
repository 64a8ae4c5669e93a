#pragma once
#include <array>
#include <cstdint>
#include <map>

#include "datafiles/edit_data.hpp"
#include "rules/item_find.hpp"
#include "rules/map.hpp"
#include "rules/records.hpp"
#include "rules/roster.hpp"

// Whole games of edit play, played by the explorer: it walks the sweep
// (every square of the map, so the boss is always met unless the player
// falls first), swaps its first three finds into slots 1, 2 and 3 and keeps
// what it carries at every later one, and fights the boss. Game k of a run
// from seed S is the game that `gloomhold --seed S+k-1` plays with these
// answers, draw for draw, through the same rules.

// The explorer's moves: 12 to the left edge, 24 along row 1 to the right
// edge, then for each row from 2 to 25 one up and 24 across, to the left on
// even rows and to the right on odd ones.
constexpr int sweepLength = 12 + 24 + 24 * (1 + 24);
std::array<Direction, sweepLength> explorerSweep();

// What a game of edit play starts with: the edit data loaded as the game's
// start-up loads it.
struct GameContent {
    EnemyRecord roster[enemyCount];
    EquipmentItem equipment[equipmentCount];
    PlayerRecord player;
};

GameContent editPlayContent(const EditEnemyEntry (&enemies)[editEnemyCount],
                            const EditItemEntry (&items)[editItemCount], const EditPlayerEntry& player);

enum class GameOutcome { cleared, fellBeforeBoss, lostToBoss };

// One game as the report tells it.
struct GameRecord {
    std::uint32_t seed = 0;
    GameOutcome outcome = GameOutcome::fellBeforeBoss;
    std::int32_t steps = 0;     // movement commands given until the end
    std::int32_t levelUps = 0;  // in the whole game, the boss fight's included
    int endingSlot = 0;         // the slot (1 to 5) whose enemy ended a lost game; 0 otherwise
    // Where the player stood when the boss question came, if it came.
    bool metBoss = false;
    std::int32_t levelUpsAtBoss = 0;
    std::int32_t attackAtBoss = 0;
    std::int32_t defenceAtBoss = 0;
    // Bit r - 1 is set when an item of row r of the find table was taken.
    std::uint32_t itemsTaken = 0;
};

GameRecord playWholeGame(const GameContent& content, std::uint32_t seed);

// Every figure of a run of whole games. Steps and level-ups never exceed
// the sweep's length (a move brings at most one battle), so they are
// counted value by value; the totals at the boss may be any 32-bit number.
struct WholeGameTally {
    std::uint64_t games = 0;
    std::uint64_t cleared = 0;
    std::uint64_t fellBeforeBoss = 0;
    std::uint64_t lostToBoss = 0;
    std::array<std::uint64_t, sweepLength + 1> steps{};
    std::uint64_t metBoss = 0;
    std::array<std::uint64_t, sweepLength + 1> levelUpsAtBoss{};
    std::map<std::int32_t, std::uint64_t> attackAtBoss;
    std::map<std::int32_t, std::uint64_t> defenceAtBoss;
    // Falls before the boss by the slot of the ordinary enemy that felled
    // the player (index 0: the game ended before any battle).
    std::array<std::uint64_t, enemyCount> fallsBySlot{};
    std::array<std::uint64_t, findTableSize> itemTakenIn{};
};

void addGame(WholeGameTally& tally, const GameRecord& record);

// The value at or below which a share `fraction` of the counted values lie:
// the smallest value v with count(values <= v) >= fraction * total.
std::int32_t quantile(const std::array<std::uint64_t, sweepLength + 1>& counts, std::uint64_t total, double fraction);
std::int32_t quantile(const std::map<std::int32_t, std::uint64_t>& counts, std::uint64_t total, double fraction);
