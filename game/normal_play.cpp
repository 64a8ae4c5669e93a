#include "game/normal_play.hpp"

#include "datafiles/starter_content.hpp"
#include "game/equipment.hpp"
#include "game/game_state.hpp"

void startNormalPlay() {
    rosterFromEntries(builtinEnemies, starterEnemies());
    recomputeTotals();
}
