#include "game/battle.hpp"

#include <cstdint>

#include "game/game_state.hpp"
#include "game/level_up.hpp"
#include "game/saturating.hpp"
#include "game/strike_roll.hpp"
#include "platform/console.hpp"

using platform::out;

namespace {

const char* const bannerLine = "--------------------------------------";

// What the battle takes when it starts and holds until it ends. The enemy's
// record is never written, so the next battle against it starts afresh.
struct BattleSides {
    const EnemyRecord& enemy;
    std::int32_t enemyHp;
    std::int32_t enemyAttack;
    std::int32_t enemyDefence;
    std::int32_t playerAttack;
    std::int32_t playerDefence;
};

enum class Outcome { goesOn, defeat, victory };

void printHeader(const EnemyRecord& enemy) {
    out << bannerLine << "\n" << "BATTLE PHASE" << "\n" << bannerLine << "\n";
    platform::keyWait();
    out << bannerLine << "\n" << "BATTLE LOG" << "\n" << bannerLine << "\n";
    out << enemy.name << "が現れました。" << "\n" << "戦闘態勢に入った。" << "\n";
}

BattleSides takeSides(const EnemyRecord& enemy) {
    return BattleSides{enemy, enemy.hp, enemy.ap, enemy.dp, player.attackTotal, player.defenceTotal};
}

std::int32_t lowered(std::int32_t hp, std::int32_t damage) {
    return saturate(static_cast<std::int64_t>(hp) - damage);
}

// The test after every blow: an HP at 0 or below becomes 0; the player's
// fall is tested before the enemy's.
Outcome testResult(BattleSides& sides) {
    if (player.hp <= 0) player.hp = 0;
    if (sides.enemyHp <= 0) sides.enemyHp = 0;
    if (player.hp == 0) return Outcome::defeat;
    if (sides.enemyHp == 0) return Outcome::victory;
    return Outcome::goesOn;
}

Outcome playerBlow(BattleSides& sides) {
    std::int32_t damage = strikeRoll(sides.playerAttack, sides.enemyDefence);
    out << player.name << "の攻撃:" << damage << "のダメージ" << "\n";
    sides.enemyHp = lowered(sides.enemyHp, damage);
    return testResult(sides);
}

Outcome enemyBlow(BattleSides& sides) {
    std::int32_t damage = strikeRoll(sides.enemyAttack, sides.playerDefence);
    out << sides.enemy.name << "の攻撃:" << damage << "のダメージ" << "\n";
    player.hp = lowered(player.hp, damage);
    return testResult(sides);
}

// Turns until one side falls: the HP line, the first mover's blow, the
// other's blow, a key wait.
Outcome fight(BattleSides& sides) {
    bool playerFirst = player.sp >= sides.enemy.sp;  // a tie goes to the player
    out << (playerFirst ? "自分が先制だ。" : "相手が先制だ。") << "\n";
    Outcome (*const firstBlow)(BattleSides&) = playerFirst ? playerBlow : enemyBlow;
    Outcome (*const secondBlow)(BattleSides&) = playerFirst ? enemyBlow : playerBlow;
    for (;;) {
        out << player.name << "のHP:" << player.hp << "\n";
        Outcome outcome = firstBlow(sides);
        if (outcome != Outcome::goesOn) return outcome;
        outcome = secondBlow(sides);
        if (outcome != Outcome::goesOn) return outcome;
        platform::keyWait();
    }
}

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
    BattleSides sides = takeSides(enemy);
    Outcome outcome = fight(sides);
    announce(outcome, enemy);
    printPlayerStatus();
    checkLevelUp();
    platform::keyWait();
    return outcome == Outcome::victory;
}
