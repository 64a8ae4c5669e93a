#pragma once
#include <string>

#include "game/game_state.hpp"
#include "platform/console.hpp"
#include "platform/random.hpp"

// A fresh game state, a seeded generator and a scripted console for one test.
struct GameFixtureState {
    explicit GameFixtureState(std::string input = {}, std::uint32_t seed = 1) : console(std::move(input)) {
        resetGameState();
        platform::seedRandom(seed);
    }
    std::string output() { return console.takeOutput(); }
    platform::ScriptedConsole console;
};
