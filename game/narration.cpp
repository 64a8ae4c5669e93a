#include "game/narration.hpp"

#include "game/boss_gate.hpp"
#include "game/equipment.hpp"
#include "game/game_state.hpp"
#include "game/item_find.hpp"
#include "platform/console.hpp"

using platform::out;

void printBanner(const char* title) {
    const char* const line = "--------------------------------------";
    out << line << "\n" << title << "\n" << line << "\n";
}

void GameNarrator::battleBegins(const EnemyRecord& opponent) {
    enemy = &opponent;
    printBanner("BATTLE PHASE");
    platform::keyWait();
    printBanner("BATTLE LOG");
    out << opponent.name << "が現れました。" << "\n" << "戦闘態勢に入った。" << "\n";
}

void GameNarrator::firstMover(bool playerFirst) {
    out << (playerFirst ? "自分が先制だ。" : "相手が先制だ。") << "\n";
}

void GameNarrator::turnBegins(std::int32_t playerHp) { out << player.name << "のHP:" << playerHp << "\n"; }

void GameNarrator::blowStruck(bool byPlayer, std::int32_t damage, bool critical) {
    if (critical) out << "Critical ATTACK ";
    out << (byPlayer ? player.name : enemy->name) << "の攻撃:" << damage << "のダメージ" << "\n";
}

void GameNarrator::betweenTurns() { platform::keyWait(); }

void GameNarrator::battleEnds(Outcome outcome, const EnemyRecord& opponent) {
    if (outcome == Outcome::defeat) {
        out << player.name << "は負けました" << "\n";
    } else {
        out << player.name << "の勝利" << "\n";
        out << opponent.expReward << "の経験値を得た。" << "\n";
    }
    printPlayerStatus();
}

void GameNarrator::levelledUp(const StatGains& gains) {
    printBanner("LV.UP");
    out << "lvが上がった。" << "\n";
    out << "追加ステータス。" << "HP:+" << gains.hp << " AP:+" << gains.ap << " DP:+" << gains.dp
        << " SP:+" << gains.sp << "\n";
    out << player.name << "の最大値は" << "HP(MAX):" << player.maxHp << " AP(MAX):" << player.maxAp
        << " DP(MAX):" << player.maxDp << " SP(MAX):" << player.maxSp << "\n";
    out << "現在" << player.name << "は" << "HP:" << player.hp << " AP:" << player.ap
        << " DP:" << player.dp << " SP:" << player.sp << "\n";
}

void GameNarrator::battleClosed() { platform::keyWait(); }

void GameNarrator::trapOrPotion(const TrapOrPotion& event) {
    out << event.message << "\n";
    out << player.name << event.label << event.value << "\n";
}

int GameNarrator::chooseEquipmentSlot() { return ::chooseEquipmentSlot(); }

void GameNarrator::equipped() { showEquipment(); }

void GameNarrator::moved(Direction direction, bool refused, std::int32_t x, std::int32_t y) {
    if (refused) {
        switch (direction) {
        case Direction::up: out << "それより上には行けない。" << "\n"; break;
        case Direction::down: out << "それより下にはいけない。" << "\n"; break;
        case Direction::right: out << "それより右にはいけない。" << "\n"; break;
        case Direction::left: out << "それより左にはいけない。" << "\n"; break;
        }
    }
    out << "現在の座標は(" << x << "," << y << ")です。" << "\n";
}

bool GameNarrator::askBossFight() { return ::askBossFight() == 0; }

void GameNarrator::missionClear() { out << "Your mission is clear!" << "\n"; }

void GameNarrator::encounter() { out << "敵と遭遇しました！" << "\n"; }
