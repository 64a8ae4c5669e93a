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

template <platform::LineForm Form>
void printChoiceLine() {
    out.putIn<Form>("1:"_phrase, equipment[0].name, " 2:"_phrase, equipment[1].name, " 3:"_phrase, equipment[2].name,
            " 4:取り替えない\n"_phrase);
}

// The slot that an answer names, or -1 when the answer is none of "1" to "4".
// In line: the dialogue asks it of every line until an answer comes.
[[gnu::always_inline]] inline int answerSlot(std::string_view answer) {
    if (answer == "1") return 0;
    if (answer == "2") return 1;
    if (answer == "3") return 2;
    if (answer == "4") return keepEverything;
    return -1;
}

}  // namespace

template <platform::LineForm Form>
int chooseEquipmentSlot() {
    out.putIn<Form>("アイテムを手に入れました。\n"
                    "どのアイテムを取り替えますか？\n"_phrase);
    std::string_view answer;
    for (;;) {
        printChoiceLine<Form>();
        // No answer can come any more: the player keeps what they carry.
        if (!platform::readLine(answer)) return keepEverything;
        int slot = answerSlot(answer);
        if (slot >= 0) return slot;
    }
}

template int chooseEquipmentSlot<platform::LineForm::any>();
template int chooseEquipmentSlot<platform::LineForm::utf8>();

void findItem(int findRow) {
    GameNarrator narrator;
    takeFind(player, equipment, findRow, narrator);
}
