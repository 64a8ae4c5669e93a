#include "datafiles/file_failure.hpp"

#include "platform/console.hpp"
#include "platform/files.hpp"
#include "platform/program_exit.hpp"

std::string damageMessage(const FileResult& result, const char* fileName) {
    return std::string(fileName) + " is damaged at line " + std::to_string(result.line) + ": entry " +
           std::to_string(result.entry) + ", " + result.field + ": " + result.problem;
}

std::string fileFailureText(const FileResult& result, const char* fileName, const char* cannotOpenMessage) {
    switch (result.status) {
    case FileStatus::ok:
        break;
    case FileStatus::cannotOpen:
        return cannotOpenMessage;
    case FileStatus::damaged:
        return damageMessage(result, fileName) + "\n";
    case FileStatus::cannotWrite:
        return "Cannot write " + std::string(fileName) + "\n";
    }
    return {};
}

void stopOnFileFailure(const FileResult& result, const char* fileName, const char* cannotOpenMessage) {
    if (result.status == FileStatus::ok) return;
    platform::printEndingMessage(fileFailureText(result, fileName, cannotOpenMessage));
    platform::pauseConsole();
    platform::endProgram(1);
}

void stopUnlessReplaceable(const char* fileName, const char* cannotOpenMessage) {
    if (platform::mayReplaceFile(fileName)) return;
    FileResult refused;
    refused.status = FileStatus::cannotOpen;
    stopOnFileFailure(refused, fileName, cannotOpenMessage);
}
