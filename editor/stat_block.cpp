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

void printStatBlock(const StatBlock& stats) {
    platform::out << "HP:" << stats.hp << "\n"
                  << "AP:" << stats.ap << "\n"
                  << "DP:" << stats.dp << "\n"
                  << "SP:" << stats.sp << "\n";
}
