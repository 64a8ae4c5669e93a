#pragma once

// Menu choice 3: the user sets the player's four statistics and editplayer is
// written whole. No file is read first, so this also creates a missing
// editplayer.
void editPlayer();
