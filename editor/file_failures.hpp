#pragma once
#include <string>

#include "datafiles/file_failure.hpp"

// The editor's text for a failed read or write of a data file, line break
// included: "Cannot open <file>." for one that cannot be opened; empty for a
// result that is ok.
std::string editorFailureText(const FileResult& result);

// Ends the editor after a failed read or write: prints editorFailureText,
// runs the console pause and ends with status 1. Does nothing for a result
// that is ok.
void stopEditorOnFileFailure(const FileResult& result);
