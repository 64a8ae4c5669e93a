#pragma once

// Rebuilds the player's attackTotal and defenceTotal from the carried items
// (rules/totals.hpp). Prints nothing.
void recomputeTotals();

// Prints the equipment summary, unless quietLoad is 1.
void showEquipment();

// Prints the equipment summary (unless quietLoad is 1) and rebuilds the totals.
void applyEquipment();
