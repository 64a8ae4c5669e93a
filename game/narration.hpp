#pragma once
#include <cstdint>
#include <string_view>

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

// Made for buffers of the form `Form` (platform::LineForm): the command loop
// takes the UTF-8 one at a UTF-8 console; every other caller the one for any.
template <platform::LineForm Form = platform::LineForm::any>
struct GameNarrator {
    const EnemyRecord* enemy = nullptr;  // the enemy of the battle under way

    void battleBegins(const EnemyRecord& opponent);
    void firstMover(bool playerFirst);
    void turnBegins(std::int32_t playerHp);
    void blowStruck(bool byPlayer, std::int32_t damage, bool critical);
    void betweenTurns();
    void battleEnds(Outcome outcome, const EnemyRecord& opponent);
    void levelledUp(const StatGains& gains);
    void battleClosed();

    void trapOrPotion(const TrapOrPotion& event);
    int chooseEquipmentSlot();
    void equipped();

    // Inline: every move of every turn prints it.
    void moved(Direction direction, bool refused, std::int32_t x, std::int32_t y) {
        using namespace platform::literals;
        if (refused) platform::out << refusal(direction);
        platform::out.putIn<Form>("現在の座標は("_phrase, x, ',', y, ")です。\n"_phrase);
    }
    bool askBossFight();
    void missionClear();
    void encounter();
};
