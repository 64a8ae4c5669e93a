#pragma once

// Prepares normal play, which needs no files: the game's own roster goes into
// builtinEnemies and the player's totals are built from the start items.
void startNormalPlay();
