#include "game/save_file.hpp"

#include "datafiles/file_failure.hpp"
#include "game/equipment.hpp"
#include "game/game_state.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"

using platform::out;

namespace {

const char* const cannotOpenSaveFile = "Cannot open savedata\n";

FileResult withStatus(FileStatus status) {
    FileResult result;
    result.status = status;
    return result;
}

}  // namespace

void saveGame() {
    SaveData data{player.maxHp, player.maxAp, player.maxDp, player.maxSp};
    // The old save stays whole unless the new one is completely on the disk;
    // a save that did not reach the disk ends the game as a failure.
    switch (platform::replaceFile(saveFileName, formatSaveData(data))) {
    case platform::ReplaceResult::done:
        out << "Saveが完了しました。" << "\n";
        return;
    case platform::ReplaceResult::cannotCreate:
        stopOnFileFailure(withStatus(FileStatus::cannotOpen), saveFileName, cannotOpenSaveFile);
        return;
    case platform::ReplaceResult::cannotWrite:
        stopOnFileFailure(withStatus(FileStatus::cannotWrite), saveFileName, cannotOpenSaveFile);
        return;
    }
}

void loadGame() {
    SaveData data;
    if (!readSaveFile(saveFileName, data)) {
        stopOnFileFailure(withStatus(FileStatus::cannotOpen), saveFileName, cannotOpenSaveFile);
    }
    setStatistics(player, data.maxHp, data.maxAp, data.maxDp, data.maxSp);
    out << "読み込み完了致しました。" << "\n";
    printPlayerStatus();
    applyEquipment();
}
