#pragma once
#include "datafiles/file_failure.hpp"

// Ends the game after a failed read or write of a data file: prints what
// went wrong ("Cannot open <file>" for one that cannot be opened, with a full
// stop for the enemy and item files only), runs the console pause and ends
// with status 1. Does nothing for a result that is ok.
void stopGameOnFileFailure(const FileResult& result);
