#include "editor/enemy_editor.hpp"

#include "editor/file_failures.hpp"
#include "editor/answers.hpp"
#include "editor/hyphen_line.hpp"
#include "editor/stat_block.hpp"
#include "editor/listings.hpp"
#include "platform/console.hpp"

namespace {

constexpr std::size_t confirmationRule = 27;
constexpr std::size_t slotQuestionRule = 68;
constexpr int keepAllSlots = 6;

using platform::out;

EditEnemyEntry askNewEnemy() {
    EditEnemyEntry enemy{};
    StatBlock stats = askStatBlock();
    enemy.hp = stats.hp;
    enemy.ap = stats.ap;
    enemy.dp = stats.dp;
    enemy.sp = stats.sp;
    setEntryName(enemy.name, askEnemyName());
    return enemy;
}

void printNewEnemy(const EditEnemyEntry& enemy) {
    out << "finish\n";
    printHyphenLine(confirmationRule);
    out << "EDIT ENEMY IS...\n";
    printStatBlock(StatBlock{enemy.hp, enemy.ap, enemy.dp, enemy.sp});
    out << "NAME:" << enemy.name << "\n";
    printHyphenLine(confirmationRule);
}

// 1 to 5 name a slot; 6 keeps every stored enemy.
int askSlot() {
    printHyphenLine(slotQuestionRule);
    out << "何番にエディトデータをセットしますか？\n";
    out << "1:INDEX1, 2:INDEX2, 3:INDEX3, 4:INDEX4, 5:INDEX5, 6:NOT CHANGE(やっぱりやめる)\n";
    printHyphenLine(slotQuestionRule);
    return askMenuDigit(keepAllSlots, "please enter the number(1-6)");
}

}  // namespace

void editEnemy() {
    out << "enemyedit\n";
    EditEnemyEntry created = askNewEnemy();
    printNewEnemy(created);

    EditEnemyEntry stored[editEnemyCount]{};
    stopEditorOnFileFailure(readEditEnemyFile(stored));
    printEnemyList(stored);

    // The file is read once more right before it is written: an enemy that
    // another editor stored while this one asked for the slot stays.
    int slot = askSlot();
    stopEditorOnFileFailure(storeEditEnemy(slot == keepAllSlots ? 0 : slot, created));
    out << "finish\n";
    platform::pauseConsole();
}
