#include "editor/item_editor.hpp"

#include "datafiles/file_failure.hpp"
#include "editor/answers.hpp"
#include "editor/file_messages.hpp"
#include "editor/hyphen_line.hpp"
#include "platform/console.hpp"

namespace {

constexpr std::size_t confirmationRule = 27;
constexpr int lowestBonus = 0;
constexpr int highestBonus = 999;

using platform::out;

EditItemEntry askItem(int slot) {
    EditItemEntry item{};
    out << "ITEMINDEX" << slot << ":\n";
    setEntryName(item.name, askName("名前を入力せよ"));
    item.attackBonus = askNumber("攻撃力ボーナスを入力せよ(0-999)", lowestBonus, highestBonus);
    item.defenceBonus = askNumber("防御力ボーナスを入力せよ(0-999)", lowestBonus, highestBonus);
    return item;
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
    EditItemEntry items[editItemCount]{};
    for (int k = 0; k < editItemCount; ++k) items[k] = askItem(k + 1);
    printNewItems(items);
    stopOnFileFailure(writeEditItemFile(items), editItemFileName, cannotOpenEditItems);
    out << "finish\n";
    platform::pauseConsole();
}
