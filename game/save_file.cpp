#include "game/save_file.hpp"

#include "game/equipment.hpp"
#include "game/file_failures.hpp"
#include "game/game_state.hpp"
#include "platform/console.hpp"

using platform::out;

void saveGame() {
    SaveData data{player.maxHp, player.maxAp, player.maxDp, player.maxSp};
    // The old save stays whole unless the new one is completely on the disk;
    // a save that did not reach the disk ends the game as a failure.
    stopGameOnFileFailure(replaceDataFile(saveFileName, formatSaveData(data)));
    out << "Saveが完了しました。" << "\n";
}

void loadGame() {
    SaveData data;
    if (!readSaveFile(saveFileName, data)) {
        stopGameOnFileFailure(fileOutcome(FileStatus::cannotOpen, saveFileName));
    }
    setStatistics(player, data.maxHp, data.maxAp, data.maxDp, data.maxSp);
    out << "読み込み完了致しました。" << "\n";
    printPlayerStatus();
    applyEquipment();
}
