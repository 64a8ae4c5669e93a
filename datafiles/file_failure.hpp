#pragma once
#include <string>

#include "datafiles/edit_data.hpp"

// Ends the program after a failed read or write of `fileName`: prints what
// went wrong (`cannotOpenMessage` when the file could not be opened), runs
// the console pause and ends with status 1. Does nothing for a result that is ok.
void stopOnFileFailure(const FileResult& result, const char* fileName, const char* cannotOpenMessage);

// Ends the program as stopOnFileFailure does for a file that cannot be
// opened when `fileName` could not be replaced (platform::mayReplaceFile).
void stopUnlessReplaceable(const char* fileName, const char* cannotOpenMessage);

// What stopOnFileFailure prints for `result`, line break included; empty for
// a result that is ok.
std::string fileFailureText(const FileResult& result, const char* fileName, const char* cannotOpenMessage);

// "<file> is damaged at line <n>: entry <k>, <field>: <problem>"
std::string damageMessage(const FileResult& result, const char* fileName);
