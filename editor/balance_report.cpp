#include "editor/balance_report.hpp"

#include <array>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "datafiles/edit_data.hpp"
#include "editor/file_failures.hpp"
#include "editor/json_text.hpp"
#include "editor/whole_game_report.hpp"
#include "editor/whole_games.hpp"
#include "platform/console.hpp"
#include "platform/program_exit.hpp"
#include "platform/random.hpp"
#include "platform/text_width.hpp"
#include "rules/content.hpp"
#include "rules/fight.hpp"
#include "rules/level_up.hpp"
#include "rules/roster.hpp"
#include "rules/totals.hpp"

using platform::out;

namespace {

constexpr int mostLevelUps = 20;

struct Tally {
    std::uint64_t wins = 0;
    std::uint64_t blows = 0;
    std::uint64_t hpLeft = 0;
};

// What the report fights with: the records of play, as the game's edit play
// would make them from the same edit data.
struct Sides {
    PlayerRecord player;
    EquipmentItem items[equipmentCount];
    EnemyRecord enemies[enemyCount];
};

Sides sidesOf(const EditPlayerEntry& entry, const EditItemEntry (&items)[editItemCount],
              const EditEnemyEntry (&enemies)[editEnemyCount]) {
    Sides sides{};
    sides.player = startPlayer();
    setStatistics(sides.player, entry.hp, entry.ap, entry.dp, entry.sp);
    itemsFromEntries(sides.items, items);
    recomputeTotals(sides.player, sides.items);
    rosterFromEntries(sides.enemies, enemies);
    return sides;
}

void add(Tally& tally, const FightResult& fight) {
    tally.wins += fight.won ? 1 : 0;
    tally.blows += static_cast<std::uint64_t>(fight.blows);
    tally.hpLeft += static_cast<std::uint64_t>(fight.playerHpLeft);  // never below 0
}

// `battles` silent fights against `enemy`, each by a fresh player after
// `levelUps` level-ups, standing at the hit points they leave. The items
// never change within a report, so their bonus sums are taken once; the
// level-ups' gains are drawn one after another and applied at once.
//
// The loop of turns is picked once for a row where it can be: without a
// level-up every fight starts from the same sides. With level-ups, every
// field that a fight takes from the player (hp, sp and the two totals) only
// grows with the gains, and each condition of a loop is a field at or above
// a bound or within a range; so a loop that the fighters with the least and
// with the most gains can both take, every fighter of the row can take.
Tally fightMany(const Sides& sides, const EnemyRecord& enemy, std::uint64_t battles, int levelUps,
                platform::Random& generator) {
    const BonusSums bonuses = bonusSums(sides.items);
    auto fighterWith = [&sides, &bonuses, levelUps](const StatGains& total) {
        PlayerRecord fighter = sides.player;
        if (levelUps > 0) applyLevelUps(fighter, total, levelUps, bonuses);
        return fighter;
    };
    auto pickRowLoop = [&]() {
        if (levelUps == 0) return silentFightLoop(takeSides(sides.player, enemy));
        const std::int32_t least = levelUps * leastStatGain;
        const std::int32_t most = levelUps * mostStatGain;
        FightLoop weakest = silentFightLoop(takeSides(fighterWith({least, least, least, least}), enemy));
        FightLoop strongest = silentFightLoop(takeSides(fighterWith({most, most, most, most}), enemy));
        return weakest == strongest ? weakest : FightLoop::general;
    };
    const FightLoop loop = pickRowLoop();
    // The generator works on a copy, and the tally is added up, in
    // registers, for the whole row.
    platform::Random random = generator;
    Tally tally;
    if (levelUps > 0 && loop == FightLoop::general) {
        // The fighters of the row take different loops: each fight picks its own.
        for (std::uint64_t i = 0; i < battles; ++i) {
            add(tally, fightSilently(fighterWith(drawStatGainsOf(levelUps, random)), enemy, random));
        }
    } else if (levelUps > 0) {
        tally = withFightLoop(loop, [&, battles, levelUps](auto chosen) {
            Tally row;
            platform::Random draws = random;
            for (std::uint64_t i = 0; i < battles; ++i) {
                const FightState start = takeSides(fighterWith(drawStatGainsOf(levelUps, draws)), enemy);
                add(row, fightSilentlyBy<chosen()>(start, criticalStrikes(start), draws));
            }
            random = draws;
            return row;
        });
    } else {
        const FightState start = takeSides(sides.player, enemy);
        const CriticalStrikes criticals = criticalStrikes(start);
        tally = withFightLoop(loop, [start, criticals, battles, &random](auto chosen) {
            Tally row;
            platform::Random draws = random;
            for (std::uint64_t i = 0; i < battles; ++i) add(row, fightSilentlyBy<chosen()>(start, criticals, draws));
            random = draws;
            return row;
        });
    }
    generator = random;
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
void stopOnReportFailure(const FileResult& result) {
    if (result.status == FileStatus::ok) return;
    platform::writeError("runewright: " + editorFailureText(result));
    platform::endProgram(1);
}

Row enemyRow(int slot, const EditEnemyEntry& enemy, const Tally& tally, std::uint64_t battles) {
    std::string name = enemy.name;
    if (slot == bossIndex) name += " (boss)";
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

// The boss after 0, 1, 2, ... level-ups, until a fresh player beats it more
// often than not or the most level-ups are tried.
// Without a level-up the player is the one of the table: its boss figures
// are the table's row, never those of other battles.
std::vector<Tally> bossAfterLevelUps(const Sides& sides, const Tally& bossRow, std::uint64_t battles,
                                     platform::Random& random) {
    std::vector<Tally> tallies;
    for (int levelUps = 0; levelUps <= mostLevelUps; ++levelUps) {
        tallies.push_back(levelUps == 0 ? bossRow : fightMany(sides, sides.enemies[bossIndex], battles, levelUps, random));
        if (2 * tallies.back().wins > battles) break;
    }
    return tallies;
}

bool beatsBossAtLast(const std::vector<Tally>& tallies, std::uint64_t battles) {
    return 2 * tallies.back().wins > battles;
}

std::string levelUpSentence(const std::vector<Tally>& tallies, std::uint64_t battles) {
    if (beatsBossAtLast(tallies, battles)) {
        return "A fresh player beats the boss more often than not after " +
               counted(tallies.size() - 1, "level-up") + ".";
    }
    return "A fresh player does not beat the boss more often than not within " + counted(mostLevelUps, "level-up") +
           ".";
}

void printLevelUpLine(const std::vector<Tally>& tallies, std::uint64_t battles) {
    out << "\nBoss win rate after level-ups:\n";
    for (std::size_t levelUps = 0; levelUps < tallies.size(); ++levelUps) {
        double rate = percent(tallies[levelUps].wins, battles);
        out << "  " << aligned(std::to_string(levelUps), 2, false) << ": " << aligned(fixed(rate, 1), 5, false)
            << " %\n";
    }
    out << levelUpSentence(tallies, battles) << "\n";
}

// Every figure of the battle section.
struct BattleFigures {
    Sides sides;
    std::array<Tally, enemyCount> rows;
    std::vector<Tally> bossAfterLevelUps;
};

void printBattleSection(const BattleFigures& figures, const EditEnemyEntry (&enemies)[editEnemyCount],
                        const EditPlayerEntry& entry, const ReportOptions& options) {
    out << "Balance report: " << counted(options.battles, "battle") << " per enemy, seed " << options.seed << "\n";
    out << "Player: HP " << entry.hp << " AP " << entry.ap << " DP " << entry.dp << " SP " << entry.sp
        << ", attack total " << figures.sides.player.attackTotal << ", defence total "
        << figures.sides.player.defenceTotal << "\n\n";
    std::vector<Row> rows;
    for (int slot = 0; slot < editEnemyCount; ++slot) rows.push_back(enemyRow(slot, enemies[slot], figures.rows[slot], options.battles));
    printTable(rows);
    printLevelUpLine(figures.bossAfterLevelUps, options.battles);
}

void printTallyJson(const Tally& tally, std::uint64_t battles) {
    out << "\"wins\": " << tally.wins << ", \"winPercent\": " << jsonFixed(percent(tally.wins, battles), 4)
        << ", \"meanBlows\": " << jsonFixed(mean(tally.blows, battles), 4)
        << ", \"meanHpLeft\": " << jsonFixed(mean(tally.hpLeft, battles), 4);
}

void printBattleJson(const BattleFigures& figures, const EditEnemyEntry (&enemies)[editEnemyCount],
                     const EditPlayerEntry& entry, const ReportOptions& options) {
    const PlayerRecord& player = figures.sides.player;
    out << "  \"battles\": {\n    \"battlesPerEnemy\": " << options.battles << ",\n    \"seed\": " << options.seed
        << ",\n    \"player\": {\"hp\": " << entry.hp << ", \"ap\": " << entry.ap << ", \"dp\": " << entry.dp
        << ", \"sp\": " << entry.sp << ", \"attackTotal\": " << player.attackTotal
        << ", \"defenceTotal\": " << player.defenceTotal << "},\n    \"enemies\": [";
    for (int slot = 0; slot < editEnemyCount; ++slot) {
        const EditEnemyEntry& enemy = enemies[slot];
        out << (slot == 0 ? "\n" : ",\n") << "      {\"slot\": " << slot + 1 << ", \"enemy\": " << jsonString(enemy.name)
            << ", \"boss\": " << (slot == bossIndex ? "true" : "false") << ", \"hp\": " << enemy.hp
            << ", \"ap\": " << enemy.ap << ", \"dp\": " << enemy.dp << ", \"sp\": " << enemy.sp << ", ";
        printTallyJson(figures.rows[slot], options.battles);
        out << "}";
    }
    out << "\n    ],\n    \"bossAfterLevelUps\": [";
    for (std::size_t levelUps = 0; levelUps < figures.bossAfterLevelUps.size(); ++levelUps) {
        out << (levelUps == 0 ? "\n" : ",\n") << "      {\"levelUps\": " << levelUps << ", ";
        printTallyJson(figures.bossAfterLevelUps[levelUps], options.battles);
        out << "}";
    }
    out << "\n    ],\n    \"levelUpsToBeatBoss\": ";
    if (beatsBossAtLast(figures.bossAfterLevelUps, options.battles)) {
        out << figures.bossAfterLevelUps.size() - 1;
    } else {
        out << "null";
    }
    out << ",\n    \"summary\": " << jsonString(levelUpSentence(figures.bossAfterLevelUps, options.battles))
        << "\n  }";
}

}  // namespace

void printBalanceReport(const ReportOptions& options) {
    EditEnemyEntry enemies[editEnemyCount]{};
    EditItemEntry items[editItemCount]{};
    EditPlayerEntry entry{};
    stopOnReportFailure(readEditEnemyFile(enemies));
    stopOnReportFailure(readEditItemFile(items));
    stopOnReportFailure(readEditPlayerFile(entry));

    platform::Random random{options.seed};
    BattleFigures figures{sidesOf(entry, items, enemies), {}, {}};
    for (int slot = 0; slot < editEnemyCount; ++slot) {
        figures.rows[slot] = fightMany(figures.sides, figures.sides.enemies[slot], options.battles, 0, random);
    }
    figures.bossAfterLevelUps = bossAfterLevelUps(figures.sides, figures.rows[bossIndex], options.battles, random);

    GameContent content = editPlayContent(enemies, items, entry);
    WholeGameRun run{options.games, options.seed};
    if (options.format == ReportOptions::Format::json) {
        out << "{\n";
        printBattleJson(figures, enemies, entry, options);
        out << ",\n  \"wholeGames\": {\n";
        printWholeGameJsonMembers(content, run);
        out << "  }\n}\n";
        return;
    }
    printBattleSection(figures, enemies, entry, options);
    printWholeGameSection(content, run);
}
