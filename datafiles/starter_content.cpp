#include "datafiles/starter_content.hpp"

// Balanced with `runewright --report`: a new player beats each ordinary enemy
// about two times in three to five in six, and the boss almost never before
// its third level-up but mostly after it.
// The names are cp932 text of at most 29 bytes without blanks, as the editor
// would accept them.
const EditEnemyEntry (&starterEnemies())[editEnemyCount] {
    static const EditEnemyEntry enemies[editEnemyCount] = {
        {4, 4, 1, 1, "スライム"},
        {6, 5, 1, 2, "ゴブリン"},
        {3, 5, 1, 3, "大コウモリ"},
        {9, 6, 2, 2, "スケルトン"},
        {280, 180, 140, 18, "闇の王"},
    };
    return enemies;
}

const EditItemEntry (&starterItems())[editItemCount] {
    static const EditItemEntry items[editItemCount] = {
        {"pike", 2, 0},
        {"sword", 2, 0},
        {"armor", 0, 3},
    };
    return items;
}

const EditPlayerEntry& starterPlayer() {
    static const EditPlayerEntry entry{5, 4, 6, 3};
    return entry;
}
