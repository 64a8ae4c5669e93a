#include "editor/whole_games.hpp"

#include <cstring>

#include "platform/random.hpp"
#include "rules/content.hpp"
#include "rules/fight.hpp"
#include "rules/totals.hpp"
#include "rules/turn.hpp"

namespace {

constexpr int explorerSwaps = 3;  // its first three finds go into slots 1, 2 and 3

// The explorer's answers, and what the report takes note of. It prints
// nothing and never draws: every draw is the rules' own.
struct ExplorerNarrator : SilentNarrator {
    const EnemyRecord (&roster)[enemyCount];
    const PlayerRecord& player;
    const EquipmentItem (&equipment)[equipmentCount];
    GameRecord& record;
    int finds = 0;
    int lastSwapSlot = 0;
    int lastEnemySlot = 0;
    bool cleared = false;

    ExplorerNarrator(const EnemyRecord (&r)[enemyCount], const PlayerRecord& p,
                     const EquipmentItem (&e)[equipmentCount], GameRecord& g)
        : roster(r), player(p), equipment(e), record(g) {}

    void battleBegins(const EnemyRecord& enemy) { lastEnemySlot = static_cast<int>(&enemy - roster) + 1; }
    void levelledUp(const StatGains&) { ++record.levelUps; }

    void trapOrPotion(const TrapOrPotion&) {}
    int chooseEquipmentSlot() {
        ++finds;
        if (finds > explorerSwaps) return keepEverything;
        lastSwapSlot = finds - 1;
        return lastSwapSlot;
    }
    // The found item now stands in the slot just chosen; its name tells its row.
    void equipped() {
        const char* name = equipment[lastSwapSlot].name;
        for (int row = 0; row < findTableSize; ++row) {
            if (std::strcmp(name, findTable[row].name) == 0) {
                record.itemsTaken |= 1u << row;
                return;
            }
        }
    }

    void moved(Direction, bool, std::int32_t, std::int32_t) {}
    void encounter() {}
    bool askBossFight() {
        record.metBoss = true;
        record.levelUpsAtBoss = record.levelUps;
        record.attackAtBoss = player.attackTotal;
        record.defenceAtBoss = player.defenceTotal;
        return true;
    }
    void missionClear() { cleared = true; }
};

}  // namespace

std::array<Direction, sweepLength> explorerSweep() {
    std::array<Direction, sweepLength> moves{};
    int next = 0;
    for (int i = 0; i < 12; ++i) moves[next++] = Direction::left;
    for (int i = 0; i < 24; ++i) moves[next++] = Direction::right;
    for (int row = 2; row <= mapSize; ++row) {
        moves[next++] = Direction::up;
        for (int i = 0; i < 24; ++i) moves[next++] = row % 2 == 0 ? Direction::left : Direction::right;
    }
    return moves;
}

GameContent editPlayContent(const EditEnemyEntry (&enemies)[editEnemyCount],
                            const EditItemEntry (&items)[editItemCount], const EditPlayerEntry& entry) {
    GameContent content{};
    rosterFromEntries(content.roster, enemies);
    content.player = startPlayer();
    // The start-up loads the items, then the player; each rebuilds the totals.
    itemsFromEntries(content.equipment, items);
    setStatistics(content.player, entry.hp, entry.ap, entry.dp, entry.sp);
    recomputeTotals(content.player, content.equipment);
    return content;
}

namespace {
const std::array<Direction, sweepLength> sweep = explorerSweep();
}  // namespace

GameRecord playWholeGame(const GameContent& content, std::uint32_t seed) {

    GameRecord record;
    record.seed = seed;
    platform::Random random;
    random.state = seed;
    Square goal = drawGoal(random);
    std::int32_t playerX = startSquare.x;
    std::int32_t playerY = startSquare.y;
    std::int32_t atGoal = 0;
    PlayerRecord player = content.player;
    EquipmentItem equipment[equipmentCount];
    for (int k = 0; k < equipmentCount; ++k) equipment[k] = content.equipment[k];
    Table table{player, equipment, content.roster, MapPlace{playerX, playerY, goal.x, goal.y, atGoal}, editPlayMode};

    ExplorerNarrator narrator(content.roster, player, equipment, record);
    bool ended = false;
    for (Direction direction : sweep) {
        ++record.steps;
        if (moveTurn(table, direction, random, narrator) == TurnEnd::endGame) {
            ended = true;
            break;
        }
    }
    // Every square lies on the sweep, so the game has met the boss, and
    // ended, unless the player fell first. Should it go on, the explorer
    // ends it: it stopped before the boss.
    if (narrator.cleared) {
        record.outcome = GameOutcome::cleared;
    } else if (record.metBoss) {
        record.outcome = GameOutcome::lostToBoss;
        record.endingSlot = bossIndex + 1;
    } else {
        record.outcome = GameOutcome::fellBeforeBoss;
        record.endingSlot = ended ? narrator.lastEnemySlot : 0;
    }
    return record;
}

void addGame(WholeGameTally& tally, const GameRecord& record) {
    ++tally.games;
    switch (record.outcome) {
        case GameOutcome::cleared: ++tally.cleared; break;
        case GameOutcome::lostToBoss: ++tally.lostToBoss; break;
        case GameOutcome::fellBeforeBoss:
            ++tally.fellBeforeBoss;
            ++tally.fallsBySlot[static_cast<std::size_t>(record.endingSlot)];
            break;
    }
    ++tally.steps[static_cast<std::size_t>(record.steps)];
    if (record.metBoss) {
        ++tally.metBoss;
        ++tally.levelUpsAtBoss[static_cast<std::size_t>(record.levelUpsAtBoss)];
        ++tally.attackAtBoss[record.attackAtBoss];
        ++tally.defenceAtBoss[record.defenceAtBoss];
    }
    for (int row = 0; row < findTableSize; ++row) {
        if (record.itemsTaken & (1u << row)) ++tally.itemTakenIn[static_cast<std::size_t>(row)];
    }
}

namespace {

// How many of `total` values must lie at or below the quantile: at least one.
std::uint64_t rankOf(std::uint64_t total, double fraction) {
    auto rank = static_cast<std::uint64_t>(fraction * static_cast<double>(total));
    if (static_cast<double>(rank) < fraction * static_cast<double>(total)) ++rank;
    return rank == 0 ? 1 : rank;
}

}  // namespace

std::int32_t quantile(const std::array<std::uint64_t, sweepLength + 1>& counts, std::uint64_t total, double fraction) {
    std::uint64_t rank = rankOf(total, fraction);
    std::uint64_t seen = 0;
    for (std::size_t value = 0; value < counts.size(); ++value) {
        seen += counts[value];
        if (seen >= rank) return static_cast<std::int32_t>(value);
    }
    return 0;
}

std::int32_t quantile(const std::map<std::int32_t, std::uint64_t>& counts, std::uint64_t total, double fraction) {
    std::uint64_t rank = rankOf(total, fraction);
    std::uint64_t seen = 0;
    for (const auto& [value, count] : counts) {
        seen += count;
        if (seen >= rank) return value;
    }
    return 0;
}
