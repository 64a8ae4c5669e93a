#pragma once

// Writes each edit data file that does not exist yet with the starter
// content, and says so in one line per file.
void createMissingEditFiles();
