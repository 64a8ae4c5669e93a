#include "datafiles/file_failure.hpp"

#include "platform/files.hpp"

FileResult fileOutcome(FileStatus status, const char* file) {
    FileResult result;
    result.status = status;
    result.file = file;
    return result;
}

FileResult replaceDataFile(const char* file, std::string_view contents) {
    switch (platform::replaceFile(file, contents)) {
    case platform::ReplaceResult::done:
        return fileOutcome(FileStatus::ok, file);
    case platform::ReplaceResult::cannotCreate:
        return fileOutcome(FileStatus::cannotOpen, file);
    case platform::ReplaceResult::cannotWrite:
        break;
    }
    return fileOutcome(FileStatus::cannotWrite, file);
}

FileResult replaceableCheck(const char* file) {
    return fileOutcome(platform::mayReplaceFile(file) ? FileStatus::ok : FileStatus::cannotOpen, file);
}

std::string damageMessage(const FileResult& result, const char* fileName) {
    return std::string(fileName) + " is damaged at line " + std::to_string(result.line) + ": entry " +
           std::to_string(result.entry) + ", " + result.field + ": " + result.problem;
}

std::string fileFailureText(const FileResult& result, const char* cannotOpenMessage) {
    switch (result.status) {
    case FileStatus::ok:
        break;
    case FileStatus::cannotOpen:
        return cannotOpenMessage;
    case FileStatus::damaged:
        return damageMessage(result, result.file.c_str()) + "\n";
    case FileStatus::cannotWrite:
        return "Cannot write " + result.file + "\n";
    }
    return {};
}
