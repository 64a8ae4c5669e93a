#include "editor/starter_files.hpp"

#include "editor/file_failures.hpp"
#include "datafiles/starter_content.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"

namespace {

// The check and the write hold the writers' lock, so that a file that
// another editor makes (and fills) meanwhile is never overwritten with the
// starter content. The failure is reported once the lock is given up: the
// pause that follows may wait long.
template <typename Write>
void createIfMissing(const char* fileName, Write write) {
    FileResult result;
    {
        platform::FolderLock lock(fileName);
        if (platform::pathExists(fileName)) return;
        result = write();
    }
    stopEditorOnFileFailure(result);
    platform::out << fileName << "を初期データで作成しました。\n";
}

}  // namespace

void createMissingEditFiles() {
    createIfMissing(editEnemyFileName, [] { return writeEditEnemyFile(starterEnemies()); });
    createIfMissing(editItemFileName, [] { return writeEditItemFile(starterItems()); });
    createIfMissing(editPlayerFileName, [] { return writeEditPlayerFile(starterPlayer()); });
}
