#include "game/edit_loaders.hpp"

#include "datafiles/edit_data.hpp"
#include "game/equipment.hpp"
#include "game/file_failures.hpp"
#include "game/game_state.hpp"
#include "platform/console.hpp"

using platform::out;

namespace {

bool loud() { return quietLoad != 1; }

}  // namespace

void loadEditEnemies() {
    EditEnemyEntry entries[editEnemyCount]{};
    stopGameOnFileFailure(readEditEnemyFile(entries));
    rosterFromEntries(editEnemies, entries);
    if (loud()) out << "EDITENEMYのLOADが完了しました。" << "\n";
}

void loadEditItems() {
    EditItemEntry entries[editItemCount]{};
    stopGameOnFileFailure(readEditItemFile(entries));
    itemsFromEntries(equipment, entries);
    applyEquipment();
    if (loud()) out << "EDITITEMのLOADが完了しました。" << "\n";
}

void loadEditPlayer() {
    EditPlayerEntry entry{};
    stopGameOnFileFailure(readEditPlayerFile(entry));
    setStatistics(player, entry.hp, entry.ap, entry.dp, entry.sp);
    if (loud()) printPlayerStatus();
    applyEquipment();
    if (loud()) out << "EDITPLAYERのLOADが完了しました。" << "\n";
}
