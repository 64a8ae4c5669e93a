#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "datafiles/file_failure.hpp"

// The three edit data files that the editor writes and the game reads:
// whitespace-separated tokens, entry after entry, in slot order.

constexpr int editEnemyCount = 5;
constexpr int editItemCount = 3;
constexpr std::size_t editNameCapacity = 52;  // 51 bytes of text and a NUL

inline constexpr const char* editEnemyFileName = "editenemy";
inline constexpr const char* editItemFileName = "editequipment";
inline constexpr const char* editPlayerFileName = "editplayer";

struct EditEnemyEntry {
    std::int32_t hp;
    std::int32_t ap;
    std::int32_t dp;
    std::int32_t sp;
    char name[editNameCapacity];
};

struct EditItemEntry {
    char name[editNameCapacity];
    std::int32_t attackBonus;
    std::int32_t defenceBonus;
};

struct EditPlayerEntry {
    std::int32_t hp;
    std::int32_t ap;
    std::int32_t dp;
    std::int32_t sp;
};

// Readers: fill all entries, or report and leave the entries untouched.
// They read the file a chunk at a time and only as far as its last entry,
// so whatever follows (or the size of the file) does not matter. A file
// that cannot be read is reported as one that cannot be opened.
FileResult readEditEnemyFile(EditEnemyEntry (&entries)[editEnemyCount]);
FileResult readEditItemFile(EditItemEntry (&entries)[editItemCount]);
FileResult readEditPlayerFile(EditPlayerEntry& entry);

// Writers: replace the whole file with all entries, under the lock that
// every writer of the data files holds (platform::replaceFile).
FileResult writeEditEnemyFile(const EditEnemyEntry (&entries)[editEnemyCount]);
FileResult writeEditItemFile(const EditItemEntry (&entries)[editItemCount]);
FileResult writeEditPlayerFile(const EditPlayerEntry& entry);

// Puts `enemy` into slot `slot` (1 to 5) of `editenemy` as the file is now,
// or, with any other slot, rewrites the file with the enemies it holds now:
// the file is read again and written under the writers' lock, so that an
// enemy that another writer (or a person) stored since the dialogue read the
// file is never lost. A file that is gone or damaged by then is reported as
// the reader reports it, and nothing is written.
FileResult storeEditEnemy(int slot, const EditEnemyEntry& enemy);

// The same formats on bytes in memory.
FileResult parseEditEnemies(std::string_view bytes, EditEnemyEntry (&entries)[editEnemyCount]);
FileResult parseEditItems(std::string_view bytes, EditItemEntry (&entries)[editItemCount]);
FileResult parseEditPlayer(std::string_view bytes, EditPlayerEntry& entry);
std::string formatEditEnemies(const EditEnemyEntry (&entries)[editEnemyCount]);
std::string formatEditItems(const EditItemEntry (&entries)[editItemCount]);
std::string formatEditPlayer(const EditPlayerEntry& entry);

// True when `name` can be stored as a name token and reads back the same:
// 1 to 51 bytes, none of them white space (0x09 to 0x0D, 0x20) or NUL.
bool isStorableName(std::string_view name);

// Copies a name that isStorableName accepted into an entry's buffer.
void setEntryName(char (&target)[editNameCapacity], std::string_view name);
