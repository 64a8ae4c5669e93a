#pragma once
#include <cstdint>
#include <string>

// What the game's command line asks for.
struct GameOptions {
    enum class Action { play, help, version, usageError } action = Action::play;
    bool seeded = false;
    std::uint32_t seed = 0;
    std::string error;  // what was wrong, for a usage error
};

GameOptions parseGameOptions(int argc, const char* const* argv);

// Texts for --help, --version and a usage error.
const char* gameHelpText();
const char* gameUsageText();
