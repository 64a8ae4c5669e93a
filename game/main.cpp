#include "game/command_line.hpp"
#include "game/command_loop.hpp"
#include "platform/clock.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"
#include "platform/program_exit.hpp"

int main(int argc, char** argv) {
    platform::nameProgram("gloomhold");
    // A file-size limit makes a write fail, which is reported, rather than end the program.
    platform::ignoreFileSizeSignal();
    GameOptions options = parseGameOptions(argc, argv);
    switch (options.action) {
    case GameOptions::Action::help:
        platform::out << gameHelpText();
        platform::flushOutput();
        return 0;
    case GameOptions::Action::version:
        platform::out << "gloomhold " GLOOMHOLD_VERSION "\n";
        platform::flushOutput();
        return 0;
    case GameOptions::Action::usageError:
        platform::writeError("gloomhold: " + options.error + "\n" + gameUsageText());
        return 2;
    case GameOptions::Action::play:
        break;
    }
    // The game clears the screen at every turn: it plays on the terminal's
    // alternate screen, and the shell's screen is back afterwards.
    platform::useAlternateScreen();
    int status = 0;
    try {
        status = runGame(options.seeded ? options.seed : platform::calendarSeconds());
    } catch (const platform::ProgramExit& exit) {
        status = exit.status;
    }
    platform::flushOutput();
    // A standard input that failed ends the program as its end does, but
    // the status tells of the failure.
    return platform::inputFailed() ? 1 : status;
}
