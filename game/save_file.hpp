#pragma once

// Writes the player's four maximum statistics to `savedata`.
void saveGame();

// Restores the player's statistics from `savedata`.
void loadGame();
