#pragma once
#include "datafiles/edit_data.hpp"

// The content a new player starts with: the game's own roster of four
// enemies and a boss, the three start items and the start player. Normal
// play fights this roster, and the editor writes it into a folder that has
// no edit data yet.
const EditEnemyEntry (&starterEnemies())[editEnemyCount];
const EditItemEntry (&starterItems())[editItemCount];
const EditPlayerEntry& starterPlayer();
