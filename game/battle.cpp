#include "game/battle.hpp"

#include <cstdint>

#include "game/battle_rounds.hpp"
#include "game/game_state.hpp"
#include "game/level_up.hpp"
#include "game/saturating.hpp"
#include "platform/console.hpp"

using platform::out;

namespace {

const char* const bannerLine = "--------------------------------------";

void printHeader(const EnemyRecord& enemy) {
    out << bannerLine << "\n" << "BATTLE PHASE" << "\n" << bannerLine << "\n";
    platform::keyWait();
    out << bannerLine << "\n" << "BATTLE LOG" << "\n" << bannerLine << "\n";
    out << enemy.name << "が現れました。" << "\n" << "戦闘態勢に入った。" << "\n";
}

// What the battle takes when it starts and holds until it ends. The enemy's
// record is never written, so the next battle against it starts afresh.
FightState takeSides(const EnemyRecord& enemy) {
    return FightState{player.hp, player.sp, player.attackTotal, player.defenceTotal,
                      enemy.hp,  enemy.sp,  enemy.ap,           enemy.dp};
}

// Writes the battle log.
struct BattleLog {
    const EnemyRecord& enemy;

    void turnBegins(std::int32_t playerHp) { out << player.name << "のHP:" << playerHp << "\n"; }
    void blowStruck(bool byPlayer, std::int32_t damage, bool critical) {
        if (critical) out << "Critical ATTACK ";
        out << (byPlayer ? player.name : enemy.name) << "の攻撃:" << damage << "のダメージ" << "\n";
    }
    void betweenTurns() { platform::keyWait(); }
};

void announce(Outcome outcome, const EnemyRecord& enemy) {
    if (outcome == Outcome::defeat) {
        out << player.name << "は負けました" << "\n";
        return;
    }
    out << player.name << "の勝利" << "\n";
    player.exp = saturate(static_cast<std::int64_t>(player.exp) + enemy.expReward);
    out << enemy.expReward << "の経験値を得た。" << "\n";
}

}  // namespace

bool runBattle(int enemyIndex) {
    const EnemyRecord& enemy = rosterEnemy(enemyIndex);
    printHeader(enemy);
    FightState state = takeSides(enemy);
    out << (playerStrikesFirst(state) ? "自分が先制だ。" : "相手が先制だ。") << "\n";
    BattleLog log{enemy};
    Outcome outcome = fightRounds(state, log);
    player.hp = state.playerHp;  // 0 after a defeat, never below
    announce(outcome, enemy);
    printPlayerStatus();
    checkLevelUp();
    platform::keyWait();
    return outcome == Outcome::victory;
}
