#include "editor/command_line.hpp"

#include <string_view>

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
    auto value = platform::parseSeed(text);
    if (!value || *value == 0) return std::nullopt;
    return value;
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
        } else if (arg == "--battles" || arg == "--seed") {
            if (i + 1 >= argc) return usageError(std::string(arg) + " needs a value");
            std::string_view value = argv[++i];
            auto number = arg == "--battles" ? parseCount(value) : platform::parseSeed(value);
            if (!number) {
                return usageError(arg == "--battles" ? "--battles takes a whole number from 1 to 4294967295"
                                                     : "--seed takes a whole number from 0 to 4294967295");
            }
            if (arg == "--battles") {
                options.battles = *number;
            } else {
                options.seed = *number;
            }
            reportValues = true;
        } else {
            return usageError("unknown argument '" + std::string(arg) + "'");
        }
    }
    if (reportValues && !report) return usageError("--battles and --seed go with --report");
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
           "              each enemy, and how many level-ups the boss takes\n"
           "  --battles N battles per enemy for the report (default 10000)\n"
           "  --seed N    seed of the report's battles (default 1)\n"
           "  --help      show this text and exit\n"
           "  --version   show the version and exit\n";
}

const char* editorVersionText() { return "runewright " GLOOMHOLD_VERSION "\n"; }

const char* editorUsageText() { return "Usage: runewright [--report [--battles N] [--seed N]] [--help] [--version]\n"; }
