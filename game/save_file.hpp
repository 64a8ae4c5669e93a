#pragma once
#include "datafiles/save_data_format.hpp"

// The save file `savedata` as the game uses it.

// Writes the player's four maximum statistics to `savedata`.
void saveGame();

// Restores the player's statistics from `savedata`.
void loadGame();
