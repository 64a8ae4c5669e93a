#pragma once

// Fights the automatic battle between the player and the roster's enemy at
// `enemyIndex` (0 to 3 an encounter, 4 the boss). Returns true when the
// enemy was beaten.
bool runBattle(int enemyIndex);
