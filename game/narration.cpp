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

template <platform::LineForm Form>
void GameNarrator<Form>::battleBegins(const EnemyRecord& opponent) {
    enemy = &opponent;
    // Each banner goes out in one piece with what follows it.
    out.putIn<Form>(bannerRule, "BATTLE PHASE\n"_phrase, bannerRule);
    platform::keyWait();
    out.putIn<Form>(bannerRule, "BATTLE LOG\n"_phrase, bannerRule, opponent.name, "が現れました。\n戦闘態勢に入った。\n"_phrase);
}

template <platform::LineForm Form>
void GameNarrator<Form>::firstMover(bool playerFirst) {
    if (playerFirst) {
        out.putIn<Form>("自分が先制だ。\n"_phrase);
    } else {
        out.putIn<Form>("相手が先制だ。\n"_phrase);
    }
}

template <platform::LineForm Form>
void GameNarrator<Form>::turnBegins(std::int32_t playerHp) { out.putIn<Form>(player.name, "のHP:"_phrase, playerHp, '\n'); }

template <platform::LineForm Form>
void GameNarrator<Form>::blowStruck(bool byPlayer, std::int32_t damage, bool critical) {
    if (critical) out.putIn<Form>("Critical ATTACK "_phrase);
    out.putIn<Form>(byPlayer ? player.name : enemy->name, "の攻撃:"_phrase, damage, "のダメージ\n"_phrase);
}

template <platform::LineForm Form>
void GameNarrator<Form>::betweenTurns() { platform::keyWait(); }

template <platform::LineForm Form>
void GameNarrator<Form>::battleEnds(Outcome outcome, const EnemyRecord& opponent) {
    if (outcome == Outcome::defeat) {
        out.putIn<Form>(player.name, "は負けました\n"_phrase);
    } else {
        out.putIn<Form>(player.name, "の勝利\n"_phrase, opponent.expReward, "の経験値を得た。\n"_phrase);
    }
    printPlayerStatus<Form>();
}

template <platform::LineForm Form>
void GameNarrator<Form>::levelledUp(const StatGains& gains) {
    // The banner and the three lines in one piece.
    out.putIn<Form>(bannerRule, "LV.UP\n"_phrase, bannerRule,
            "lvが上がった。\n"
            "追加ステータス。HP:+"_phrase, gains.hp, " AP:+"_phrase, gains.ap, " DP:+"_phrase, gains.dp, " SP:+"_phrase, gains.sp, '\n',
            player.name, "の最大値はHP(MAX):"_phrase, player.maxHp, " AP(MAX):"_phrase, player.maxAp, " DP(MAX):"_phrase,
            player.maxDp, " SP(MAX):"_phrase, player.maxSp, '\n',
            "現在"_phrase, player.name, "はHP:"_phrase, player.hp, " AP:"_phrase, player.ap, " DP:"_phrase, player.dp, " SP:"_phrase,
            player.sp, '\n');
}

template <platform::LineForm Form>
void GameNarrator<Form>::battleClosed() { platform::keyWait(); }

template <platform::LineForm Form>
void GameNarrator<Form>::trapOrPotion(const TrapOrPotion& event) {
    out.putIn<Form>(event.message, '\n');
    out.putIn<Form>(player.name, event.label, event.value, '\n');
}

template <platform::LineForm Form>
int GameNarrator<Form>::chooseEquipmentSlot() { return ::chooseEquipmentSlot(); }

template <platform::LineForm Form>
void GameNarrator<Form>::equipped() { showEquipment(); }

template <platform::LineForm Form>
bool GameNarrator<Form>::askBossFight() { return ::askBossFight() == 0; }

template <platform::LineForm Form>
void GameNarrator<Form>::missionClear() { out.putIn<Form>("Your mission is clear!\n"_phrase); }

template <platform::LineForm Form>
void GameNarrator<Form>::encounter() { out.putIn<Form>("敵と遭遇しました！\n"_phrase); }

template struct GameNarrator<platform::LineForm::any>;
template struct GameNarrator<platform::LineForm::utf8>;
