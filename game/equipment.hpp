#pragma once

// Rebuilds attackTotal and defenceTotal: the maxima plus the three carried
// items' bonuses. Prints nothing.
void recomputeTotals();

// Prints the equipment summary (unless quietLoad is 1) and rebuilds the totals.
void applyEquipment();
