#include "editor/stat_block.hpp"

#include "editor/answers.hpp"
#include "platform/console.hpp"

StatBlock askStatBlock() {
    StatBlock stats{};
    stats.hp = askStatValue("HPを入力せよ(1-999)");
    stats.ap = askStatValue("APを入力せよ(1-999)");
    stats.dp = askStatValue("DPを入力せよ(1-999)");
    stats.sp = askStatValue("SPを入力せよ(1-999)");
    return stats;
}

StatBlock askStatBlockKeeping(const StatBlock& current) {
    constexpr int lowest = 1;
    constexpr int highest = 999;
    StatBlock stats{};
    stats.hp = askNumberKeeping("HPを入力せよ(1-999)", lowest, highest, current.hp);
    stats.ap = askNumberKeeping("APを入力せよ(1-999)", lowest, highest, current.ap);
    stats.dp = askNumberKeeping("DPを入力せよ(1-999)", lowest, highest, current.dp);
    stats.sp = askNumberKeeping("SPを入力せよ(1-999)", lowest, highest, current.sp);
    return stats;
}

void printStatBlock(const StatBlock& stats) {
    platform::out << "HP:" << stats.hp << "\n"
                  << "AP:" << stats.ap << "\n"
                  << "DP:" << stats.dp << "\n"
                  << "SP:" << stats.sp << "\n";
}
