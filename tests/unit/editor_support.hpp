#pragma once
#include <functional>
#include <string>

#include "temp_folder.hpp"

#include "platform/console.hpp"
#include "platform/program_exit.hpp"

// Runs one editor action on a scripted console: its output and the status
// with which it ended the program (0 when it returned).
struct ActionRun {
    std::string output;
    int status = 0;
};

inline ActionRun runScripted(const std::string& input, const std::function<void()>& action) {
    platform::ScriptedConsole console(input);
    ActionRun run;
    try {
        action();
    } catch (const platform::ProgramExit& exit) {
        run.status = exit.status;
    }
    run.output = console.takeOutput();
    return run;
}
