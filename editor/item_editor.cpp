#include "editor/item_editor.hpp"

#include <algorithm>
#include <iterator>

#include "editor/file_failures.hpp"
#include "datafiles/starter_content.hpp"
#include "editor/answers.hpp"
#include "editor/hyphen_line.hpp"
#include "platform/console.hpp"

namespace {

constexpr std::size_t confirmationRule = 27;
constexpr int lowestBonus = 0;
constexpr int highestBonus = 999;

using platform::out;

// Each answer may keep what `item` holds now.
EditItemEntry askItem(int slot, const EditItemEntry& item) {
    EditItemEntry changed = item;
    out << "ITEMINDEX" << slot << ":\n";
    setEntryName(changed.name, askNameKeeping("名前を入力せよ", item.name));
    changed.attackBonus = askNumberKeeping("攻撃力ボーナスを入力せよ(0-999)", lowestBonus, highestBonus, item.attackBonus);
    changed.defenceBonus = askNumberKeeping("防御力ボーナスを入力せよ(0-999)", lowestBonus, highestBonus, item.defenceBonus);
    return changed;
}

void printNewItems(const EditItemEntry (&items)[editItemCount]) {
    out << "finish\n";
    printHyphenLine(confirmationRule);
    out << "EDIT ITEM IS...\n";
    for (int k = 0; k < editItemCount; ++k) {
        out << "ITEMINDEX" << k + 1 << ":\n";
        out << "NAME:" << items[k].name << "\n";
        out << "AP:" << items[k].attackBonus << "\n";
        out << "DP:" << items[k].defenceBonus << "\n";
    }
    printHyphenLine(confirmationRule);
}

}  // namespace

void editItems() {
    out << "itemedit\n";
    stopEditorOnFileFailure(replaceableCheck(editItemFileName));
    // The answers start from the file; one that is missing or damaged is
    // replaced whole, so they start from the starter items.
    EditItemEntry items[editItemCount]{};
    std::copy(std::begin(starterItems()), std::end(starterItems()), items);
    (void)readEditItemFile(items);  // leaves the starter items where it fails
    for (int k = 0; k < editItemCount; ++k) items[k] = askItem(k + 1, items[k]);
    printNewItems(items);
    stopEditorOnFileFailure(writeEditItemFile(items));
    out << "finish\n";
    platform::pauseConsole();
}
