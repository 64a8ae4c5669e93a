#include "game/command_line.hpp"

#include <string_view>

#include "platform/seed_option.hpp"

GameOptions parseGameOptions(int argc, const char* const* argv) {
    GameOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help") {
            options.action = GameOptions::Action::help;
        } else if (arg == "--version") {
            if (options.action != GameOptions::Action::help) options.action = GameOptions::Action::version;
        } else if (arg == "--seed") {
            if (i + 1 >= argc) {
                return {GameOptions::Action::usageError, false, 0, "--seed needs a value"};
            }
            auto seed = platform::parseSeed(argv[++i]);
            if (!seed) {
                return {GameOptions::Action::usageError, false, 0,
                        "--seed takes a whole number from 0 to 4294967295"};
            }
            options.seeded = true;
            options.seed = *seed;
        } else {
            return {GameOptions::Action::usageError, false, 0,
                    "unknown argument '" + std::string(arg) + "'"};
        }
    }
    return options;
}

const char* gameHelpText() {
    return "Usage: gloomhold [--seed N]\n"
           "A console role-playing game. Walk the 25 x 25 map with the commands\n"
           "up, down, right and left; STATUS, SAVE, LOAD, EDITLOAD, EDITITEMLOAD and\n"
           "ESC do the rest. Data files are read from the current folder.\n"
           "\n"
           "  --seed N    seed the random generator with N (0 to 4294967295);\n"
           "              the same seed and input replay the same game\n"
           "  --help      show this text and exit\n"
           "  --version   show the version and exit\n";
}

const char* gameUsageText() { return "Usage: gloomhold [--seed N] [--help] [--version]\n"; }
