#include "editor/command_line.hpp"

#include <string_view>

#include "platform/decimal.hpp"
#include "platform/seed_option.hpp"

namespace {

EditorOptions usageError(std::string error) {
    EditorOptions options;
    options.action = EditorOptions::Action::usageError;
    options.error = std::move(error);
    return options;
}

}  // namespace

std::optional<std::uint32_t> parseCount(std::string_view text) {
    auto value = platform::parseDigits<std::uint32_t>(text);
    if (!value || *value == 0) return std::nullopt;
    return value;
}

// A value of the report: --battles and --games count from 1, --seed from 0.
std::string valueError(std::string_view option) {
    return std::string(option) + (option == "--seed" ? " takes a whole number from 0 to 4294967295"
                                                     : " takes a whole number from 1 to 4294967295");
}

EditorOptions parseEditorOptions(int argc, const char* const* argv) {
    EditorOptions options;
    bool report = false;
    bool reportValues = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help") {
            options.action = EditorOptions::Action::help;
        } else if (arg == "--version") {
            if (options.action != EditorOptions::Action::help) options.action = EditorOptions::Action::version;
        } else if (arg == "--report") {
            report = true;
        } else if (arg == "--battles" || arg == "--games" || arg == "--seed" || arg == "--format") {
            if (i + 1 >= argc) return usageError(std::string(arg) + " needs a value");
            std::string_view value = argv[++i];
            reportValues = true;
            if (arg == "--format") {
                if (value == "text") {
                    options.report.format = ReportOptions::Format::text;
                } else if (value == "json") {
                    options.report.format = ReportOptions::Format::json;
                } else {
                    return usageError("--format takes text or json");
                }
                continue;
            }
            auto number = arg == "--seed" ? platform::parseSeed(value) : parseCount(value);
            if (!number) return usageError(valueError(arg));
            if (arg == "--battles") {
                options.report.battles = *number;
            } else if (arg == "--games") {
                options.report.games = *number;
            } else {
                options.report.seed = *number;
            }
        } else {
            return usageError("unknown argument '" + std::string(arg) + "'");
        }
    }
    if (reportValues && !report) return usageError("--battles, --games, --seed and --format go with --report");
    if (report && options.action == EditorOptions::Action::edit) options.action = EditorOptions::Action::report;
    return options;
}

const char* editorHelpText() {
    return "Usage: runewright\n"
           "The content editor of gloomhold. A numbered menu creates enemies and\n"
           "stores them in the five slots of editenemy, sets the three equipment\n"
           "items (editequipment) and the player's statistics (editplayer), and\n"
           "lists what these files hold. The files live in the current folder.\n"
           "\n"
           "  --report    print the balance report of the edit data and exit:\n"
           "              how often the edit player, with the edit items, beats\n"
           "              each enemy, how many level-ups the boss takes, and how\n"
           "              whole games go for the explorer: a player who walks\n"
           "              every square row by row, swaps its first three finds\n"
           "              into slots 1, 2 and 3, keeps the rest, fights the boss\n"
           "  --battles N battles per enemy for the report (default 10000)\n"
           "  --games N   whole games for the report (default 10000); game k is\n"
           "              the game of gloomhold --seed S+k-1 in edit play\n"
           "  --seed S    seed of the report's battles and first game (default 1)\n"
           "  --format F  text (default) or json: every figure, one record a game\n"
           "  --help      show this text and exit\n"
           "  --version   show the version and exit\n";
}

const char* editorVersionText() { return "runewright " GLOOMHOLD_VERSION "\n"; }

const char* editorUsageText() { return "Usage: runewright [--report [--battles N] [--games N] [--seed N] [--format text|json]] [--help] [--version]\n"; }
