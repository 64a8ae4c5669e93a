#include "game/item_find.hpp"

#include <string_view>

#include "game/equipment.hpp"
#include "game/game_state.hpp"
#include "game/narration.hpp"
#include "rules/dungeon_events.hpp"
#include "platform/console.hpp"

using platform::out;
using namespace platform::literals;

namespace {

void printChoiceLine() {
    out.put("1:"_phrase, equipment[0].name, " 2:"_phrase, equipment[1].name, " 3:"_phrase, equipment[2].name,
            " 4:取り替えない\n"_phrase);
}

// The slot that an answer names, or -1 when the answer is none of "1" to "4".
int answerSlot(std::string_view answer) {
    if (answer == "1") return 0;
    if (answer == "2") return 1;
    if (answer == "3") return 2;
    if (answer == "4") return keepEverything;
    return -1;
}

}  // namespace

int chooseEquipmentSlot() {
    out << "アイテムを手に入れました。\n"
           "どのアイテムを取り替えますか？\n"_phrase;
    std::string_view answer;
    for (;;) {
        printChoiceLine();
        // No answer can come any more: the player keeps what they carry.
        if (!platform::readLine(answer)) return keepEverything;
        int slot = answerSlot(answer);
        if (slot >= 0) return slot;
    }
}

void findItem(int findRow) {
    GameNarrator narrator;
    takeFind(player, equipment, findRow, narrator);
}
