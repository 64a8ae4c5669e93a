#include "game/strike_roll.hpp"

#include "game/game_state.hpp"
#include "platform/console.hpp"
#include "rules/strike_roll.hpp"

std::int32_t strikeRoll(std::int32_t attack, std::int32_t defence) {
    Strike strike = rollStrike(gameRandom(), attack, defence);
    if (strike.critical) platform::out << "Critical ATTACK ";
    return strike.damage;
}
