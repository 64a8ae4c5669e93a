#include "game/file_failures.hpp"

#include <string>

#include "datafiles/edit_data.hpp"
#include "platform/console.hpp"

void stopGameOnFileFailure(const FileResult& result) {
    if (result.status == FileStatus::ok) return;
    // The game's messages for the player's file and the save lack the full
    // stop of the other two.
    const bool fullStop = result.file == editEnemyFileName || result.file == editItemFileName;
    const std::string cannotOpen = "Cannot open " + result.file + (fullStop ? ".\n" : "\n");
    platform::stopProgram(fileFailureText(result, cannotOpen.c_str()));
}
