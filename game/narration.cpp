#include "game/narration.hpp"

#include "game/boss_gate.hpp"
#include "game/equipment.hpp"
#include "game/game_state.hpp"
#include "game/item_find.hpp"
#include "platform/console.hpp"

using platform::out;
using namespace platform::literals;

// Each line goes out in one put(), which checks the buffer's room once for
// the whole line; the texts are views, whose lengths are known when compiled.

void printBanner(std::string_view title) { out.put(bannerRule, title, "\n"_phrase, bannerRule); }

void GameNarrator::battleBegins(const EnemyRecord& opponent) {
    enemy = &opponent;
    // Each banner goes out in one piece with what follows it.
    out.put(bannerRule, "BATTLE PHASE\n"_phrase, bannerRule);
    platform::keyWait();
    out.put(bannerRule, "BATTLE LOG\n"_phrase, bannerRule, opponent.name, "が現れました。\n戦闘態勢に入った。\n"_phrase);
}

void GameNarrator::firstMover(bool playerFirst) {
    if (playerFirst) {
        out << "自分が先制だ。\n"_phrase;
    } else {
        out << "相手が先制だ。\n"_phrase;
    }
}

void GameNarrator::turnBegins(std::int32_t playerHp) { out.put(player.name, "のHP:"_phrase, playerHp, '\n'); }

void GameNarrator::blowStruck(bool byPlayer, std::int32_t damage, bool critical) {
    if (critical) out << "Critical ATTACK "_phrase;
    out.put(byPlayer ? player.name : enemy->name, "の攻撃:"_phrase, damage, "のダメージ\n"_phrase);
}

void GameNarrator::betweenTurns() { platform::keyWait(); }

void GameNarrator::battleEnds(Outcome outcome, const EnemyRecord& opponent) {
    if (outcome == Outcome::defeat) {
        out.put(player.name, "は負けました\n"_phrase);
    } else {
        out.put(player.name, "の勝利\n"_phrase, opponent.expReward, "の経験値を得た。\n"_phrase);
    }
    printPlayerStatus();
}

void GameNarrator::levelledUp(const StatGains& gains) {
    // The banner and the three lines in one piece.
    out.put(bannerRule, "LV.UP\n"_phrase, bannerRule,
            "lvが上がった。\n"
            "追加ステータス。HP:+"_phrase, gains.hp, " AP:+"_phrase, gains.ap, " DP:+"_phrase, gains.dp, " SP:+"_phrase, gains.sp, '\n',
            player.name, "の最大値はHP(MAX):"_phrase, player.maxHp, " AP(MAX):"_phrase, player.maxAp, " DP(MAX):"_phrase,
            player.maxDp, " SP(MAX):"_phrase, player.maxSp, '\n',
            "現在"_phrase, player.name, "はHP:"_phrase, player.hp, " AP:"_phrase, player.ap, " DP:"_phrase, player.dp, " SP:"_phrase,
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

void GameNarrator::missionClear() { out << "Your mission is clear!\n"_phrase; }

void GameNarrator::encounter() { out << "敵と遭遇しました！\n"_phrase; }
