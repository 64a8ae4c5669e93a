#include "game/item_find.hpp"

#include <string>

#include "game/equipment.hpp"
#include "game/game_state.hpp"
#include "platform/console.hpp"

using platform::out;

const FoundItem findTable[findTableSize] = {
    {"脇差", 30, 0},       {"霧丸", 50, 10},     {"青龍刀", 70, 0},
    {"方天画戟", 100, 0},  {"無反動砲", 200, 0}, {"木の盾", 0, 30},
    {"鉄の盾", 0, 50},     {"鎧", 0, 70},        {"メタルコート", 0, 100},
    {"防衛要塞", 0, 200},
};

namespace {

void printChoiceLine() {
    out << "1:" << equipment[0].name << " 2:" << equipment[1].name << " 3:" << equipment[2].name
        << " 4:" << "取り替えない" << "\n";
}

// The slot that an answer names, or -1 when the answer is none of "1" to "4".
int answerSlot(const std::string& answer) {
    if (answer == "1") return 0;
    if (answer == "2") return 1;
    if (answer == "3") return 2;
    if (answer == "4") return keepEverything;
    return -1;
}

}  // namespace

int chooseEquipmentSlot() {
    out << "アイテムを手に入れました。" << "\n";
    out << "どのアイテムを取り替えますか？" << "\n";
    std::string answer;
    for (;;) {
        printChoiceLine();
        // No answer can come any more: the player keeps what they carry.
        if (!platform::readLine(answer)) return keepEverything;
        int slot = answerSlot(answer);
        if (slot >= 0) return slot;
    }
}

void findItem(int findRow) {
    int slot = chooseEquipmentSlot();
    if (slot == keepEverything) return;
    const FoundItem& found = findTable[findRow - 1];
    EquipmentItem& carried = equipment[slot];
    copyName(carried.name, found.name);
    carried.attackBonus = found.attackBonus;
    carried.defenceBonus = found.defenceBonus;
    applyEquipment();
}
