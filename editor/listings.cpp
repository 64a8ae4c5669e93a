#include "editor/listings.hpp"

#include "editor/file_failures.hpp"
#include "editor/hyphen_line.hpp"
#include "platform/console.hpp"

namespace {

constexpr std::size_t listRule = 35;
constexpr std::size_t playerRule = 56;

using platform::out;

}  // namespace

void printEnemyList(const EditEnemyEntry (&entries)[editEnemyCount]) {
    printHyphenLine(listRule);
    out << "一覧を表示します。\n";
    for (int k = 0; k < editEnemyCount; ++k) {
        const EditEnemyEntry& e = entries[k];
        out << "ENEMY INDEX" << k + 1 << "\n";
        out << "name:" << e.name << " hp:" << e.hp << " ap:" << e.ap << " dp:" << e.dp << " sp:" << e.sp
            << "\n";
    }
    printHyphenLine(listRule);
}

void listEditEnemies() {
    EditEnemyEntry entries[editEnemyCount]{};
    stopEditorOnFileFailure(readEditEnemyFile(entries));
    printEnemyList(entries);
    platform::pauseConsole();
}

void listEditItems() {
    EditItemEntry entries[editItemCount]{};
    stopEditorOnFileFailure(readEditItemFile(entries));
    printHyphenLine(listRule);
    out << "一覧を表示します。\n";
    for (int k = 0; k < editItemCount; ++k) {
        const EditItemEntry& e = entries[k];
        out << "ITEMINDEX" << k + 1 << ":\n";
        out << "name:" << e.name << " ap:" << e.attackBonus << " dp:" << e.defenceBonus << "\n";
    }
    printHyphenLine(listRule);
    platform::pauseConsole();
}

void showEditPlayer() {
    EditPlayerEntry entry{};
    stopEditorOnFileFailure(readEditPlayerFile(entry));
    printHyphenLine(playerRule);
    out << "PLAYERのステータスを表示します。\n";
    out << "HP:" << entry.hp << " AP:" << entry.ap << " DP:" << entry.dp << " SP:" << entry.sp << "\n";
    printHyphenLine(playerRule);
    platform::pauseConsole();
}
