#include "game/normal_play.hpp"

#include "datafiles/starter_content.hpp"
#include "game/equipment.hpp"
#include "game/game_state.hpp"

void startNormalPlay() {
    const EditEnemyEntry (&roster)[editEnemyCount] = starterEnemies();
    for (int k = 0; k < enemyCount; ++k) {
        const EditEnemyEntry& entry = roster[k];
        fillEnemyRecord(builtinEnemies[k], entry.hp, entry.ap, entry.dp, entry.sp, entry.name);
        builtinEnemies[k].expReward = expRewardFor(k);
    }
    recomputeTotals();
}
