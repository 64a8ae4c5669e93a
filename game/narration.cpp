#include "game/narration.hpp"

#include "game/boss_gate.hpp"
#include "game/equipment.hpp"
#include "game/game_state.hpp"
#include "game/item_find.hpp"
#include "platform/console.hpp"

using platform::out;
using namespace std::string_view_literals;

// Each line goes out in one put(), which checks the buffer's room once for
// the whole line; the texts are views, whose lengths are known when compiled.

void printBanner(std::string_view title) { out.put(bannerRule, title, "\n"sv, bannerRule); }

void GameNarrator::battleBegins(const EnemyRecord& opponent) {
    enemy = &opponent;
    // Each banner goes out in one piece with what follows it.
    out.put(bannerRule, "BATTLE PHASE\n"sv, bannerRule);
    platform::keyWait();
    out.put(bannerRule, "BATTLE LOG\n"sv, bannerRule, opponent.name, "が現れました。\n戦闘態勢に入った。\n"sv);
}

void GameNarrator::firstMover(bool playerFirst) {
    out << (playerFirst ? "自分が先制だ。\n"sv : "相手が先制だ。\n"sv);
}

void GameNarrator::turnBegins(std::int32_t playerHp) { out.put(player.name, "のHP:"sv, playerHp, '\n'); }

void GameNarrator::blowStruck(bool byPlayer, std::int32_t damage, bool critical) {
    if (critical) out << "Critical ATTACK "sv;
    out.put(byPlayer ? player.name : enemy->name, "の攻撃:"sv, damage, "のダメージ\n"sv);
}

void GameNarrator::betweenTurns() { platform::keyWait(); }

void GameNarrator::battleEnds(Outcome outcome, const EnemyRecord& opponent) {
    if (outcome == Outcome::defeat) {
        out.put(player.name, "は負けました\n"sv);
    } else {
        out.put(player.name, "の勝利\n"sv, opponent.expReward, "の経験値を得た。\n"sv);
    }
    printPlayerStatus();
}

void GameNarrator::levelledUp(const StatGains& gains) {
    // The banner and the three lines in one piece.
    out.put(bannerRule, "LV.UP\n"sv, bannerRule,
            "lvが上がった。\n"
            "追加ステータス。HP:+"sv, gains.hp, " AP:+"sv, gains.ap, " DP:+"sv, gains.dp, " SP:+"sv, gains.sp, '\n',
            player.name, "の最大値はHP(MAX):"sv, player.maxHp, " AP(MAX):"sv, player.maxAp, " DP(MAX):"sv,
            player.maxDp, " SP(MAX):"sv, player.maxSp, '\n',
            "現在"sv, player.name, "はHP:"sv, player.hp, " AP:"sv, player.ap, " DP:"sv, player.dp, " SP:"sv,
            player.sp, '\n');
}

void GameNarrator::battleClosed() { platform::keyWait(); }

void GameNarrator::trapOrPotion(const TrapOrPotion& event) {
    out.put(event.message, '\n');
    out.put(player.name, event.label, event.value, '\n');
}

int GameNarrator::chooseEquipmentSlot() { return ::chooseEquipmentSlot(); }

void GameNarrator::equipped() { showEquipment(); }

bool GameNarrator::askBossFight() { return ::askBossFight() == 0; }

void GameNarrator::missionClear() { out << "Your mission is clear!\n"sv; }

void GameNarrator::encounter() { out << "敵と遭遇しました！\n"sv; }
