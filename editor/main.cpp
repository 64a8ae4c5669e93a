#include "editor/balance_report.hpp"
#include "editor/command_line.hpp"
#include "editor/editor_menu.hpp"
#include "editor/starter_files.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"
#include "platform/program_exit.hpp"

int main(int argc, char** argv) {
    platform::nameProgram("runewright");
    // A file-size limit makes a write fail, which is reported, rather than end the program.
    platform::ignoreFileSizeSignal();
    EditorOptions options = parseEditorOptions(argc, argv);
    switch (options.action) {
    case EditorOptions::Action::help:
        platform::out << editorHelpText();
        platform::flushOutput();
        return 0;
    case EditorOptions::Action::version:
        platform::out << editorVersionText();
        platform::flushOutput();
        return 0;
    case EditorOptions::Action::usageError:
        platform::writeError("runewright: " + options.error + "\n" + editorUsageText());
        return 2;
    case EditorOptions::Action::edit:
    case EditorOptions::Action::report:
        break;
    }
    int status = 0;
    try {
        if (options.action == EditorOptions::Action::report) {
            printBalanceReport(options.report);
        } else {
            createMissingEditFiles();
            runEditorMenu();
        }
    } catch (const platform::ProgramExit& exit) {
        status = exit.status;
    }
    platform::flushOutput();
    // A standard input that failed ends the program as its end does, but
    // the status tells of the failure.
    return platform::inputFailed() ? 1 : status;
}
