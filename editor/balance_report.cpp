#include "editor/balance_report.hpp"

#include <array>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "datafiles/edit_data.hpp"
#include "datafiles/file_failure.hpp"
#include "editor/file_messages.hpp"
#include "game/battle_simulation.hpp"
#include "game/saturating.hpp"
#include "platform/console.hpp"
#include "platform/program_exit.hpp"
#include "platform/random.hpp"
#include "platform/text_width.hpp"

using platform::out;

namespace {

constexpr int bossSlot = editEnemyCount - 1;
constexpr int mostLevelUps = 20;

struct Tally {
    std::uint64_t wins = 0;
    std::uint64_t blows = 0;
    std::uint64_t hpLeft = 0;
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

Tally fightMany(const Combatant& player, const Combatant& enemy, std::uint64_t battles, int levelUps) {
    Tally tally;
    for (std::uint64_t i = 0; i < battles; ++i) {
        Combatant fighter = levelUps > 0 ? levelledUp(player, levelUps) : player;
        SimulatedBattle battle = simulateBattle(fighter, enemy);
        tally.wins += battle.won ? 1 : 0;
        tally.blows += static_cast<std::uint64_t>(battle.blows);
        tally.hpLeft += static_cast<std::uint64_t>(battle.playerHpLeft);  // never below 0
    }
    return tally;
}

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

double percent(std::uint64_t part, std::uint64_t whole) { return 100.0 * static_cast<double>(part) / static_cast<double>(whole); }

double mean(std::uint64_t sum, std::uint64_t count) { return static_cast<double>(sum) / static_cast<double>(count); }

// The table's columns: the name column is padded on the right, the figures
// are aligned on the right. A column is as wide as its usual width, or wider
// by as much as its widest cell needs to keep a blank before the next one, so
// that numbers of eleven characters never run together.
struct Column {
    const char* heading;
    std::size_t usualWidth;
    bool leftAligned;
};

constexpr Column columns[] = {
    {"slot", 6, true}, {"enemy", 32, true}, {"HP", 6, false},    {"AP", 6, false},      {"DP", 6, false},
    {"SP", 6, false},  {"win %", 8, false}, {"blows", 8, false}, {"HP left", 9, false},
};
constexpr std::size_t columnCount = std::size(columns);

using Row = std::array<std::string, columnCount>;

// Widths are the console's columns, so that a name of double-byte or
// half-width characters lines up with the others.
std::string aligned(const std::string& text, std::size_t width, bool leftAligned) {
    std::size_t shown = platform::consoleTextWidth(text);
    if (shown >= width) return text;
    std::string fill(width - shown, ' ');
    return leftAligned ? text + fill : fill + text;
}

// "1 battle", "2 battles".
std::string counted(std::uint64_t count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

// The report is a command-line tool: a file that cannot be read ends it at
// once, with the reason on standard error, nothing on standard output and
// no pause.
void stopOnReportFailure(const FileResult& result, const char* fileName, const char* cannotOpenMessage) {
    if (result.status == FileStatus::ok) return;
    platform::writeError("runewright: " + fileFailureText(result, fileName, cannotOpenMessage));
    platform::endProgram(1);
}

Row enemyRow(int slot, const EditEnemyEntry& enemy, const Tally& tally, std::uint64_t battles) {
    std::string name = enemy.name;
    if (slot == bossSlot) name += " (boss)";
    return Row{std::to_string(slot + 1),
               name,
               std::to_string(enemy.hp),
               std::to_string(enemy.ap),
               std::to_string(enemy.dp),
               std::to_string(enemy.sp),
               fixed(percent(tally.wins, battles), 1),
               fixed(mean(tally.blows, battles), 2),
               fixed(mean(tally.hpLeft, battles), 2)};
}

void printTable(const std::vector<Row>& rows) {
    std::array<std::size_t, columnCount> widths{};
    for (std::size_t c = 0; c < columnCount; ++c) {
        widths[c] = columns[c].usualWidth;
        for (const Row& row : rows) {
            // A figure needs a blank before it, a name one after it.
            std::size_t needed = platform::consoleTextWidth(row[c]) + 1;
            if (needed > widths[c]) widths[c] = needed;
        }
    }
    for (std::size_t c = 0; c < columnCount; ++c) out << aligned(columns[c].heading, widths[c], columns[c].leftAligned);
    out << "\n";
    for (const Row& row : rows) {
        for (std::size_t c = 0; c < columnCount; ++c) out << aligned(row[c], widths[c], columns[c].leftAligned);
        out << "\n";
    }
}

// Without a level-up the player is the one of the table: its boss figures
// are the table's, never those of other battles.
void printLevelUpLine(const Combatant& player, const Combatant& boss, const Tally& bossRow, std::uint64_t battles) {
    out << "\nBoss win rate after level-ups:\n";
    for (int levelUps = 0; levelUps <= mostLevelUps; ++levelUps) {
        Tally tally = levelUps == 0 ? bossRow : fightMany(player, boss, battles, levelUps);
        double rate = percent(tally.wins, battles);
        out << "  " << aligned(std::to_string(levelUps), 2, false) << ": " << aligned(fixed(rate, 1), 5, false)
            << " %\n";
        if (2 * tally.wins > battles) {
            out << "A fresh player beats the boss more often than not after " << counted(levelUps, "level-up")
                << ".\n";
            return;
        }
    }
    out << "A fresh player does not beat the boss more often than not within " << counted(mostLevelUps, "level-up")
        << ".\n";
}

}  // namespace

void printBalanceReport(std::uint64_t battles, std::uint32_t seed) {
    EditEnemyEntry enemies[editEnemyCount]{};
    EditItemEntry items[editItemCount]{};
    EditPlayerEntry entry{};
    stopOnReportFailure(readEditEnemyFile(enemies), editEnemyFileName, cannotOpenEditEnemy);
    stopOnReportFailure(readEditItemFile(items), editItemFileName, cannotOpenEditItems);
    stopOnReportFailure(readEditPlayerFile(entry), editPlayerFileName, cannotOpenEditPlayer);

    platform::seedRandom(seed);
    Combatant player = editPlayerCombatant(entry, items);
    out << "Balance report: " << counted(battles, "battle") << " per enemy, seed " << seed << "\n";
    out << "Player: HP " << entry.hp << " AP " << entry.ap << " DP " << entry.dp << " SP " << entry.sp
        << ", attack total " << player.attack << ", defence total " << player.defence << "\n\n";
    std::vector<Row> rows;
    Tally bossRow;
    for (int slot = 0; slot < editEnemyCount; ++slot) {
        Tally tally = fightMany(player, enemyCombatant(enemies[slot]), battles, 0);
        rows.push_back(enemyRow(slot, enemies[slot], tally, battles));
        if (slot == bossSlot) bossRow = tally;
    }
    printTable(rows);
    printLevelUpLine(player, enemyCombatant(enemies[bossSlot]), bossRow, battles);
}
