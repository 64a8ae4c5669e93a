#pragma once

// Take the edit data files into play: `editenemy` into the enemies,
// `editequipment` into the carried items, `editplayer` into the player.
void loadEditEnemies();
void loadEditItems();
void loadEditPlayer();
