#include "game/edit_loaders.hpp"

#include "datafiles/edit_data.hpp"
#include "datafiles/file_failure.hpp"
#include "game/equipment.hpp"
#include "game/game_state.hpp"
#include "platform/console.hpp"

using platform::out;

namespace {

bool loud() { return quietLoad != 1; }

}  // namespace

void loadEditEnemies() {
    EditEnemyEntry entries[editEnemyCount]{};
    stopOnFileFailure(readEditEnemyFile(entries), editEnemyFileName, "Cannot open editenemy.\n");
    rosterFromEntries(editEnemies, entries);
    if (loud()) out << "EDITENEMYのLOADが完了しました。" << "\n";
}

void loadEditItems() {
    EditItemEntry entries[editItemCount]{};
    stopOnFileFailure(readEditItemFile(entries), editItemFileName, "Cannot open editequipment.\n");
    itemsFromEntries(equipment, entries);
    applyEquipment();
    if (loud()) out << "EDITITEMのLOADが完了しました。" << "\n";
}

void loadEditPlayer() {
    EditPlayerEntry entry{};
    // The game's message lacks the editor's full stop.
    stopOnFileFailure(readEditPlayerFile(entry), editPlayerFileName, "Cannot open editplayer\n");
    setStatistics(player, entry.hp, entry.ap, entry.dp, entry.sp);
    if (loud()) printPlayerStatus();
    applyEquipment();
    if (loud()) out << "EDITPLAYERのLOADが完了しました。" << "\n";
}
