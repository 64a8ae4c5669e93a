#include "editor/command_line.hpp"

#include <string_view>

namespace {

EditorOptions usageError(std::string error) {
    EditorOptions options;
    options.action = EditorOptions::Action::usageError;
    options.error = std::move(error);
    return options;
}

}  // namespace

EditorOptions parseEditorOptions(int argc, const char* const* argv) {
    EditorOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help") {
            options.action = EditorOptions::Action::help;
        } else if (arg == "--version") {
            if (options.action != EditorOptions::Action::help) options.action = EditorOptions::Action::version;
        } else {
            return usageError("unknown argument '" + std::string(arg) + "'");
        }
    }
    return options;
}

const char* editorHelpText() {
    return "Usage: runewright\n"
           "The content editor of gloomhold. A numbered menu creates enemies and\n"
           "stores them in the five slots of editenemy, sets the three equipment\n"
           "items (editequipment) and the player's statistics (editplayer), and\n"
           "lists what these files hold. The files live in the current folder.\n"
           "\n"
           "  --help      show this text and exit\n"
           "  --version   show the version and exit\n";
}

const char* editorVersionText() { return "runewright " GLOOMHOLD_VERSION "\n"; }

const char* editorUsageText() { return "Usage: runewright [--help] [--version]\n"; }
