#pragma once
#include <string>
#include <string_view>

// How a read or a write of a data file went. The data layer only reports;
// each program prints a failure in its own words and decides what follows.

enum class FileStatus { ok, cannotOpen, damaged, cannotWrite };

// The outcome of a read or a write of the file `file`. For a damaged file:
// where the bad or missing token stands (line counted from 1, entry from 1),
// which field it should have been and what is wrong with it.
struct FileResult {
    FileStatus status = FileStatus::ok;
    std::string file;
    int line = 0;
    int entry = 0;
    std::string field;
    std::string problem;
};

// A result of `status` for the file `file`, with no place in it.
FileResult fileOutcome(FileStatus status, const char* file);

// Replaces the file `file` with `contents` (platform::replaceFile): ok, or
// cannotOpen when it could not be created, cannotWrite when the contents did
// not reach the disk whole.
FileResult replaceDataFile(const char* file, std::string_view contents);

// ok when the file `file` may be replaced (platform::mayReplaceFile), else
// cannotOpen. Asked before a dialogue.
FileResult replaceableCheck(const char* file);

// The text of a failure, line break included: `cannotOpenMessage` for a file
// that cannot be opened, the damage for a damaged one, "Cannot write <file>"
// for a failed write; empty for a result that is ok.
std::string fileFailureText(const FileResult& result, const char* cannotOpenMessage);

// "<file> is damaged at line <n>: entry <k>, <field>: <problem>"
std::string damageMessage(const FileResult& result, const char* fileName);
