#include "editor/balance_report.hpp"

#include <cstdio>
#include <string>

#include "datafiles/edit_data.hpp"
#include "datafiles/file_failure.hpp"
#include "editor/file_messages.hpp"
#include "game/battle_simulation.hpp"
#include "game/saturating.hpp"
#include "platform/console.hpp"
#include "platform/random.hpp"

using platform::out;

namespace {

constexpr int bossSlot = editEnemyCount - 1;
constexpr int mostLevelUps = 20;

struct Tally {
    std::uint32_t wins = 0;
    std::uint64_t blows = 0;
    std::int64_t hpLeft = 0;
};

Combatant editPlayerCombatant(const EditPlayerEntry& entry, const EditItemEntry (&items)[editItemCount]) {
    std::int64_t attack = entry.ap;
    std::int64_t defence = entry.dp;
    for (const EditItemEntry& item : items) {
        attack += item.attackBonus;
        defence += item.defenceBonus;
    }
    return Combatant{entry.hp, saturate(attack), saturate(defence), entry.sp};
}

Combatant enemyCombatant(const EditEnemyEntry& entry) {
    return Combatant{entry.hp, entry.ap, entry.dp, entry.sp};
}

Tally fightMany(const Combatant& player, const Combatant& enemy, std::uint32_t battles, int levelUps) {
    Tally tally;
    for (std::uint32_t i = 0; i < battles; ++i) {
        Combatant fighter = levelUps > 0 ? levelledUp(player, levelUps) : player;
        SimulatedBattle battle = simulateBattle(fighter, enemy);
        tally.wins += battle.won ? 1 : 0;
        tally.blows += static_cast<std::uint64_t>(battle.blows);
        tally.hpLeft += battle.playerHpLeft;
    }
    return tally;
}

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

double percent(std::uint32_t part, std::uint32_t whole) { return 100.0 * part / whole; }

// Pads on the right to `width` bytes; a double-byte character is two columns
// wide on the console, as it is two bytes long.
std::string padded(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::string rightAligned(const std::string& text, std::size_t width) {
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

void printEnemyRow(int slot, const EditEnemyEntry& enemy, const Tally& tally, std::uint32_t battles) {
    std::string name = enemy.name;
    if (slot == bossSlot) name += " (boss)";
    out << padded(std::to_string(slot + 1), 6) << padded(name, 32);
    for (std::int32_t stat : {enemy.hp, enemy.ap, enemy.dp, enemy.sp}) {
        out << rightAligned(std::to_string(stat), 6);
    }
    out << rightAligned(fixed(percent(tally.wins, battles), 1), 8)
        << rightAligned(fixed(static_cast<double>(tally.blows) / battles, 2), 8)
        << rightAligned(fixed(static_cast<double>(tally.hpLeft) / battles, 2), 9) << "\n";
}

void printLevelUpLine(const Combatant& player, const Combatant& boss, std::uint32_t battles) {
    out << "\nBoss win rate after level-ups:\n";
    for (int levelUps = 0; levelUps <= mostLevelUps; ++levelUps) {
        Tally tally = fightMany(player, boss, battles, levelUps);
        double rate = percent(tally.wins, battles);
        out << "  " << rightAligned(std::to_string(levelUps), 2) << ": " << rightAligned(fixed(rate, 1), 5)
            << " %\n";
        if (2 * static_cast<std::uint64_t>(tally.wins) > battles) {
            out << "A fresh player beats the boss more often than not after " << levelUps
                << " level-up" << (levelUps == 1 ? "" : "s") << ".\n";
            return;
        }
    }
    out << "A fresh player does not beat the boss more often than not within " << mostLevelUps
        << " level-ups.\n";
}

}  // namespace

void printBalanceReport(std::uint32_t battles, std::uint32_t seed) {
    EditEnemyEntry enemies[editEnemyCount]{};
    EditItemEntry items[editItemCount]{};
    EditPlayerEntry entry{};
    stopOnFileFailure(readEditEnemyFile(enemies), editEnemyFileName, cannotOpenEditEnemy);
    stopOnFileFailure(readEditItemFile(items), editItemFileName, cannotOpenEditItems);
    stopOnFileFailure(readEditPlayerFile(entry), editPlayerFileName, cannotOpenEditPlayer);

    platform::seedRandom(seed);
    Combatant player = editPlayerCombatant(entry, items);
    out << "Balance report: " << battles << " battles per enemy, seed " << seed << "\n";
    out << "Player: HP " << entry.hp << " AP " << entry.ap << " DP " << entry.dp << " SP " << entry.sp
        << ", attack total " << player.attack << ", defence total " << player.defence << "\n\n";
    out << padded("slot", 6) << padded("enemy", 32) << "    HP    AP    DP    SP   win %   blows  HP left\n";
    for (int slot = 0; slot < editEnemyCount; ++slot) {
        Tally tally = fightMany(player, enemyCombatant(enemies[slot]), battles, 0);
        printEnemyRow(slot, enemies[slot], tally, battles);
    }
    printLevelUpLine(player, enemyCombatant(enemies[bossSlot]), battles);
}
