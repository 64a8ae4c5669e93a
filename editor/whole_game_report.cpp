#include "editor/whole_game_report.hpp"

#include <cstdio>
#include <string>

#include "editor/json_text.hpp"
#include "editor/report_progress.hpp"
#include "platform/console.hpp"

using platform::out;

namespace {

// The histogram of steps: bins of 64 moves over the sweep, bars of at most
// 30 squares ("■", the block character that cp932 has).
constexpr int binWidth = 64;
constexpr int binCount = (sweepLength + binWidth - 1) / binWidth;
constexpr int longestBar = 30;
const char* const barSquare = "■";

template <typename EachGame>
WholeGameTally playRun(const GameContent& content, const WholeGameRun& run, bool printsWhileRunning,
                       EachGame eachGame) {
    WholeGameTally tally;
    ReportProgress progress(run.games, printsWhileRunning);
    for (std::uint64_t game = 1; game <= run.games; ++game) {
        GameRecord record = playWholeGame(content, seedOfGame(run, game));
        addGame(tally, record);
        eachGame(game, record);
        progress.advance(game);
    }
    progress.finish();
    return tally;
}

double percent(std::uint64_t part, std::uint64_t whole) {
    return whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
}

std::string fixed1(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string padLeft(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string padRight(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string gamesWord(std::uint64_t count) { return std::to_string(count) + (count == 1 ? " game" : " games"); }

const char* outcomeWord(GameOutcome outcome) {
    switch (outcome) {
        case GameOutcome::cleared: return "cleared";
        case GameOutcome::lostToBoss: return "lostToBoss";
        case GameOutcome::fellBeforeBoss: break;
    }
    return "fellBeforeBoss";
}

struct StepBin {
    int from;
    int to;
    std::uint64_t games;
};

std::array<StepBin, binCount> stepBins(const WholeGameTally& tally) {
    std::array<StepBin, binCount> bins{};
    for (int b = 0; b < binCount; ++b) {
        bins[b].from = b * binWidth + 1;
        bins[b].to = b + 1 == binCount ? sweepLength : (b + 1) * binWidth;
        for (int steps = bins[b].from; steps <= bins[b].to; ++steps) bins[b].games += tally.steps[steps];
    }
    return bins;
}

// The slot whose enemy felled the most explorers before the boss; -1 when
// nobody fell.
int commonestFall(const WholeGameTally& tally) {
    int commonest = -1;
    for (int slot = 0; slot < enemyCount; ++slot) {
        if (tally.fallsBySlot[slot] > 0 && (commonest < 0 || tally.fallsBySlot[slot] > tally.fallsBySlot[commonest]))
            commonest = slot;
    }
    return commonest;
}

std::string fallCause(const GameContent& content, int slot) {
    return slot == 0 ? std::string("before any battle") : std::string(content.roster[slot - 1].name);
}

// What the section says in one sentence.
std::string summingUp(const GameContent& content, const WholeGameTally& tally) {
    std::string line = "The explorer clears " + fixed1(percent(tally.cleared, tally.games)) + " % of games";
    int commonest = commonestFall(tally);
    if (commonest < 0) {
        line += "; none falls before the boss";
    } else {
        line += "; " + fixed1(percent(tally.fellBeforeBoss, tally.games)) + " % fall before the boss, most often ";
        line += commonest == 0 ? "before any battle" : "to " + fallCause(content, commonest);
    }
    if (tally.metBoss == 0) {
        line += "; nobody reaches the boss";
    } else {
        line += "; the boss beats " + fixed1(percent(tally.lostToBoss, tally.metBoss)) +
                " % of those who reach it";
    }
    std::int32_t median = quantile(tally.steps, tally.games, 0.5);
    line += "; half of all games end within " + std::to_string(median) + (median == 1 ? " step." : " steps.");
    return line;
}

void printOutcomes(const WholeGameTally& tally) {
    struct Line {
        const char* label;
        std::uint64_t games;
    };
    const Line lines[] = {{"cleared", tally.cleared},
                          {"fell before the boss", tally.fellBeforeBoss},
                          {"lost to the boss", tally.lostToBoss}};
    for (const Line& line : lines) {
        out << "  " << padRight(line.label, 22) << padLeft(fixed1(percent(line.games, tally.games)), 5) << " %  ("
            << gamesWord(line.games) << ")\n";
    }
}

void printSteps(const WholeGameTally& tally) {
    out << "\nSteps to the end: median " << quantile(tally.steps, tally.games, 0.5) << ", 90th percentile "
        << quantile(tally.steps, tally.games, 0.9) << "\n";
    std::array<StepBin, binCount> bins = stepBins(tally);
    std::uint64_t most = 0;
    for (const StepBin& bin : bins) most = bin.games > most ? bin.games : most;
    for (const StepBin& bin : bins) {
        auto bar = static_cast<int>(static_cast<double>(longestBar) * static_cast<double>(bin.games) /
                                        static_cast<double>(most) + 0.5);
        if (bar == 0 && bin.games > 0) bar = 1;
        out << "  " << padLeft(std::to_string(bin.from), 3) << "-" << padRight(std::to_string(bin.to), 3) << " "
            << padLeft(fixed1(percent(bin.games, tally.games)), 5) << " % ";
        for (int i = 0; i < bar; ++i) out << barSquare;
        out << "\n";
    }
}

void printAtBoss(const WholeGameTally& tally) {
    out << "\nAt the boss (" << gamesWord(tally.metBoss) << ", median): ";
    if (tally.metBoss == 0) {
        out << "nobody reached it\n";
        return;
    }
    out << quantile(tally.levelUpsAtBoss, tally.metBoss, 0.5) << " level-ups, attack total "
        << quantile(tally.attackAtBoss, tally.metBoss, 0.5) << ", defence total "
        << quantile(tally.defenceAtBoss, tally.metBoss, 0.5) << "\n";
}

void printFalls(const GameContent& content, const WholeGameTally& tally) {
    out << "\nFalls before the boss, by enemy (traps never kill):\n";
    for (int slot = 1; slot < enemyCount; ++slot) {
        out << "  " << slot << "  " << padRight(content.roster[slot - 1].name, 30)
            << padLeft(fixed1(percent(tally.fallsBySlot[slot], tally.games)), 5) << " %\n";
    }
    if (tally.fallsBySlot[0] > 0) {
        out << "     " << padRight("(before any battle)", 30) << padLeft(fixed1(percent(tally.fallsBySlot[0], tally.games)), 5)
            << " %\n";
    }
}

void printItemsTaken(const WholeGameTally& tally) {
    out << "\nFound items taken (share of games):\n";
    for (int row = 0; row < findTableSize; ++row) {
        out << "  " << padRight(findTable[row].name, 14) << padLeft(fixed1(percent(tally.itemTakenIn[row], tally.games)), 5)
            << " %" << (row % 2 == 0 ? "   " : "\n");
    }
}

}  // namespace

void printWholeGameSection(const GameContent& content, const WholeGameRun& run) {
    out << "\nWhole games: " << gamesWord(run.games) << " of edit play by the explorer, seed " << run.seed << "\n"
        << "(it walks every square row by row, takes its first three finds into slots 1, 2 and 3,\n"
        << " keeps what it carries at every later find, and fights the boss where it meets it)\n\n";
    // Everything so far is on the screen before the games begin.
    platform::flushOutput();
    WholeGameTally tally = playRun(content, run, false, [](std::uint64_t, const GameRecord&) {});
    printOutcomes(tally);
    out << "  the boss beats " << fixed1(percent(tally.lostToBoss, tally.metBoss)) << " % of those who reach it\n";
    printSteps(tally);
    printAtBoss(tally);
    printFalls(content, tally);
    printItemsTaken(tally);
    out << summingUp(content, tally) << "\n";
}

namespace {

void printRecord(std::uint64_t game, const GameRecord& record) {
    out << (game == 1 ? "\n" : ",\n") << "      {\"game\": " << game << ", \"seed\": " << record.seed
        << ", \"outcome\": \"" << outcomeWord(record.outcome) << "\", \"steps\": " << record.steps
        << ", \"levelUps\": " << record.levelUps << ", \"slot\": ";
    if (record.endingSlot == 0) {
        out << "null}";
    } else {
        out << record.endingSlot << "}";
    }
}

void printCountMember(const char* name, std::uint64_t count, std::uint64_t whole) {
    out << ",\n    \"" << name << "\": {\"games\": " << count << ", \"percent\": "
        << jsonFixed(percent(count, whole), 4) << "}";
}

}  // namespace

void printWholeGameJsonMembers(const GameContent& content, const WholeGameRun& run) {
    out << "    \"games\": " << run.games << ",\n    \"seed\": " << run.seed << ",\n    \"records\": [";
    WholeGameTally tally = playRun(content, run, true, printRecord);
    out << "\n    ]";
    printCountMember("cleared", tally.cleared, tally.games);
    printCountMember("fellBeforeBoss", tally.fellBeforeBoss, tally.games);
    printCountMember("lostToBoss", tally.lostToBoss, tally.games);
    out << ",\n    \"bossBeatsPercentOfThoseWhoReachIt\": " << jsonFixed(percent(tally.lostToBoss, tally.metBoss), 4);

    out << ",\n    \"steps\": {\"median\": " << quantile(tally.steps, tally.games, 0.5)
        << ", \"percentile90\": " << quantile(tally.steps, tally.games, 0.9) << ", \"histogram\": [";
    std::array<StepBin, binCount> bins = stepBins(tally);
    for (int b = 0; b < binCount; ++b) {
        out << (b == 0 ? "" : ", ") << "{\"from\": " << bins[b].from << ", \"to\": " << bins[b].to
            << ", \"games\": " << bins[b].games << "}";
    }
    out << "]}";

    out << ",\n    \"atBoss\": {\"games\": " << tally.metBoss;
    if (tally.metBoss > 0) {
        out << ", \"medianLevelUps\": " << quantile(tally.levelUpsAtBoss, tally.metBoss, 0.5)
            << ", \"medianAttackTotal\": " << quantile(tally.attackAtBoss, tally.metBoss, 0.5)
            << ", \"medianDefenceTotal\": " << quantile(tally.defenceAtBoss, tally.metBoss, 0.5);
    } else {
        out << ", \"medianLevelUps\": null, \"medianAttackTotal\": null, \"medianDefenceTotal\": null";
    }
    out << "}";

    out << ",\n    \"fallsBeforeBoss\": [";
    for (int slot = 0; slot < enemyCount; ++slot) {
        out << (slot == 0 ? "" : ", ") << "{\"slot\": ";
        if (slot == 0) {
            out << "null, \"enemy\": null";
        } else {
            out << slot << ", \"enemy\": " << jsonString(content.roster[slot - 1].name);
        }
        out << ", \"games\": " << tally.fallsBySlot[slot] << "}";
    }
    out << "]";

    out << ",\n    \"itemsTaken\": [";
    for (int row = 0; row < findTableSize; ++row) {
        out << (row == 0 ? "" : ", ") << "{\"item\": " << jsonString(findTable[row].name)
            << ", \"games\": " << tally.itemTakenIn[row] << ", \"percent\": "
            << jsonFixed(percent(tally.itemTakenIn[row], tally.games), 4) << "}";
    }
    out << "]";
    out << ",\n    \"summary\": " << jsonString(summingUp(content, tally)) << "\n";
}
