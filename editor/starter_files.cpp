#include "editor/starter_files.hpp"

#include "datafiles/file_failure.hpp"
#include "datafiles/starter_content.hpp"
#include "editor/file_messages.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"

namespace {

template <typename Write>
void createIfMissing(const char* fileName, const char* cannotOpenMessage, Write write) {
    if (platform::pathExists(fileName)) return;
    stopOnFileFailure(write(), fileName, cannotOpenMessage);
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
