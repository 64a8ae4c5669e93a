#include "editor/starter_files.hpp"

#include "datafiles/file_failure.hpp"
#include "datafiles/starter_content.hpp"
#include "editor/file_messages.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"

namespace {

// The check and the write hold the writers' lock, so that a file that
// another editor makes (and fills) meanwhile is never overwritten with the
// starter content. The failure is reported once the lock is given up: the
// pause that follows may wait long.
template <typename Write>
void createIfMissing(const char* fileName, const char* cannotOpenMessage, Write write) {
    FileResult result;
    {
        platform::FolderLock lock(fileName);
        if (platform::pathExists(fileName)) return;
        result = write();
    }
    stopOnFileFailure(result, fileName, cannotOpenMessage);
    platform::out << fileName << "を初期データで作成しました。\n";
}

}  // namespace

void createMissingEditFiles() {
    createIfMissing(editEnemyFileName, cannotOpenEditEnemy,
                    [] { return writeEditEnemyFile(starterEnemies()); });
    createIfMissing(editItemFileName, cannotOpenEditItems,
                    [] { return writeEditItemFile(starterItems()); });
    createIfMissing(editPlayerFileName, cannotOpenEditPlayer,
                    [] { return writeEditPlayerFile(starterPlayer()); });
}
