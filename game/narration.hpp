#pragma once
#include <array>
#include <cstdint>
#include <string_view>

#include "game/game_state.hpp"
#include "platform/console.hpp"
#include "rules/dungeon_events.hpp"
#include "rules/fight.hpp"
#include "rules/level_up.hpp"
#include "rules/map.hpp"

// What the game prints while the rules of play run: the narrator of the
// battles, the dungeon events, the moves and the boss gate (see
// rules/fight.hpp, rules/dungeon_events.hpp and rules/turn.hpp). It asks the
// player through the game's dialogues and prints every message of the game.

// The line above and below a banner's title: 38 hyphens.
inline constexpr auto bannerRule = [] {
    using namespace platform::literals;
    return "--------------------------------------\n"_phrase;
}();

// Prints a banner: `title` on a line of its own between two lines of 38
// hyphens.
void printBanner(std::string_view title);

// Why a move was refused, by its direction.
inline platform::Phrase refusal(Direction direction) {
    using namespace platform::literals;
    switch (direction) {
    case Direction::up: return "それより上には行けない。\n"_phrase;
    case Direction::down: return "それより下にはいけない。\n"_phrase;
    case Direction::right: return "それより右にはいけない。\n"_phrase;
    case Direction::left: return "それより左にはいけない。\n"_phrase;
    }
    return {};
}

namespace narration_detail {

// The digits of a number from 1 to 99.
constexpr std::string_view smallNumber(std::int32_t n, char (&digits)[2]) {
    if (n < 10) {
        digits[0] = static_cast<char>('0' + n);
        return {digits, 1};
    }
    digits[0] = static_cast<char>('0' + n / 10);
    digits[1] = static_cast<char>('0' + n % 10);
    return {digits, 2};
}

// The position line of every square of the map, "現在の座標は(x,y)です。\n",
// made when compiling: every move prints one, as a copy.
using PositionLine = platform::PaddedPhrase<32, 48>;
inline constexpr auto positionLines = [] {
    using namespace platform::literals;
    constexpr auto before = "現在の座標は("_phrase;
    constexpr auto after = ")です。\n"_phrase;
    std::array<std::array<PositionLine, mapSize>, mapSize> lines{};
    for (std::int32_t x = 1; x <= mapSize; ++x) {
        for (std::int32_t y = 1; y <= mapSize; ++y) {
            PositionLine& line = lines[x - 1][y - 1];
            char xDigits[2]{};
            char yDigits[2]{};
            const std::string_view xText = smallNumber(x, xDigits);
            const std::string_view yText = smallNumber(y, yDigits);
            line.append(before.cp932, before.utf8);
            line.append(xText, xText);
            line.append(",", ",");
            line.append(yText, yText);
            line.append(after.cp932, after.utf8);
        }
    }
    return lines;
}();
static_assert(mapSize <= 99, "a position has at most two digits");

}  // namespace narration_detail

// Made for buffers of the form `Form` (platform::LineForm): the command loop
// takes the UTF-8 one at a UTF-8 console; every other caller the one for any.
template <platform::LineForm Form = platform::LineForm::any>
struct GameNarrator {
    const EnemyRecord* enemy = nullptr;  // the enemy of the battle under way

    // In line: each battle prints these, and a call of each cost about as
    // much as its own work.
    void battleBegins(const EnemyRecord& opponent) {
        using namespace platform::literals;
        using platform::out;
        enemy = &opponent;
        constexpr auto phaseBanner = bannerRule + "BATTLE PHASE\n"_phrase + bannerRule;
        constexpr auto logBanner = bannerRule + "BATTLE LOG\n"_phrase + bannerRule;
        constexpr auto appears = "が現れました。\n戦闘態勢に入った。\n"_phrase;
        // Without a wait, both banners and the key wait's prompt between them
        // go out in one piece; else each banner with what follows it.
        if (platform::keyWaitIsPlain()) [[likely]] {
            out.putIn<Form>(phaseBanner + platform::keyWaitLine + logBanner, opponent.name, appears);
            return;
        }
        out.putIn<Form>(phaseBanner);
        platform::keyWait<Form>();
        out.putIn<Form>(logBanner, opponent.name, appears);
    }
    void firstMover(bool playerFirst) {
        using namespace platform::literals;
        if (playerFirst) {
            platform::out.putIn<Form>("自分が先制だ。\n"_phrase);
        } else {
            platform::out.putIn<Form>("相手が先制だ。\n"_phrase);
        }
    }
    void turnBegins(std::int32_t playerHp) {
        using namespace platform::literals;
        platform::out.putIn<Form>(player.name, "のHP:"_phrase, playerHp, '\n');
    }
    void blowStruck(bool byPlayer, std::int32_t damage, bool critical) {
        using namespace platform::literals;
        if (critical) platform::out.putIn<Form>("Critical ATTACK "_phrase);
        platform::out.putIn<Form>(byPlayer ? player.name : enemy->name, "の攻撃:"_phrase, damage, "のダメージ\n"_phrase);
    }
    void betweenTurns() { platform::keyWait<Form>(); }
    void battleEnds(Outcome outcome, const EnemyRecord& opponent) {
        using namespace platform::literals;
        if (outcome == Outcome::defeat) {
            platform::out.putIn<Form>(player.name, "は負けました\n"_phrase);
        } else {
            platform::out.putIn<Form>(player.name, "の勝利\n"_phrase, opponent.expReward, "の経験値を得た。\n"_phrase);
        }
        printPlayerStatus<Form>();
    }
    void levelledUp(const StatGains& gains) {
        using namespace platform::literals;
        // The banner and the three lines in one piece.
        platform::out.putIn<Form>(
            bannerRule + "LV.UP\n"_phrase + bannerRule +
                "lvが上がった。\n"
                "追加ステータス。HP:+"_phrase,
            gains.hp, " AP:+"_phrase, gains.ap, " DP:+"_phrase, gains.dp, " SP:+"_phrase, gains.sp, '\n',
            player.name, "の最大値はHP(MAX):"_phrase, player.maxHp, " AP(MAX):"_phrase, player.maxAp, " DP(MAX):"_phrase,
            player.maxDp, " SP(MAX):"_phrase, player.maxSp, '\n',
            "現在"_phrase, player.name, "はHP:"_phrase, player.hp, " AP:"_phrase, player.ap, " DP:"_phrase, player.dp, " SP:"_phrase,
            player.sp, '\n');
    }
    void battleClosed() { platform::keyWait<Form>(); }

    void trapOrPotion(const TrapOrPotion& event);
    int chooseEquipmentSlot();
    void equipped();

    // Inline: every move of every turn prints it.
    void moved(Direction direction, bool refused, std::int32_t x, std::int32_t y) {
        using namespace platform::literals;
        if (refused) platform::out << refusal(direction);
        // A position on the map is a copy of its line; any other (a saved
        // game's, say) is written out.
        if (x >= 1 && x <= mapSize && y >= 1 && y <= mapSize) [[likely]] {
            platform::out.putIn<Form>(narration_detail::positionLines[x - 1][y - 1]);
        } else {
            platform::out.putIn<Form>("現在の座標は("_phrase, x, ',', y, ")です。\n"_phrase);
        }
    }
    bool askBossFight();
    void missionClear();
    void encounter() {
        using namespace platform::literals;
        platform::out.putIn<Form>("敵と遭遇しました！\n"_phrase);
    }
};
