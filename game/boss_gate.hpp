#pragma once

// Asks whether to fight the boss now: 0 to fight, 1 not now.
int askBossFight();
