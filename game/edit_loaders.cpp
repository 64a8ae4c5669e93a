#include "game/edit_loaders.hpp"

// Joined when the edit data loaders land.
void loadEditEnemies() {}
void loadEditItems() {}
void loadEditPlayer() {}
