#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "platform/console.hpp"
#include "platform/program_exit.hpp"

// A fresh, empty current folder for one test, removed afterwards.
struct TemporaryFolder {
    TemporaryFolder() : previous(std::filesystem::current_path()) {
        char pattern[] = "/tmp/runewright-unit-XXXXXX";
        path = ::mkdtemp(pattern);
        std::filesystem::current_path(path);
    }
    ~TemporaryFolder() {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(path);
    }
    std::filesystem::path previous;
    std::filesystem::path path;
};

inline void writeBytes(const char* name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

inline std::string readBytes(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

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
