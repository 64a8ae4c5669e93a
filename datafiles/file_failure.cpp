#include "datafiles/file_failure.hpp"

#include "platform/console.hpp"
#include "platform/program_exit.hpp"

std::string damageMessage(const FileResult& result, const char* fileName) {
    return std::string(fileName) + " is damaged at line " + std::to_string(result.line) + ": entry " +
           std::to_string(result.entry) + ", " + result.field + ": " + result.problem;
}

void stopOnFileFailure(const FileResult& result, const char* fileName, const char* cannotOpenMessage) {
    switch (result.status) {
    case FileStatus::ok:
        return;
    case FileStatus::cannotOpen:
        platform::printEndingMessage(cannotOpenMessage);
        break;
    case FileStatus::damaged:
        platform::printEndingMessage(damageMessage(result, fileName) + "\n");
        break;
    case FileStatus::cannotWrite:
        platform::printEndingMessage(std::string("Cannot write ") + fileName + "\n");
        break;
    }
    platform::pauseConsole();
    platform::endProgram(1);
}
