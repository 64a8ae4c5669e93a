#pragma once
#include <string>
#include <string_view>

// Whole-file reads and safe whole-file replacement, by name in the current
// folder.
namespace platform {

// Reads the whole file into `contents`; false when it cannot be opened or
// read, or when the name is no regular file (a folder, a pipe, a device).
bool readWholeFile(const char* name, std::string& contents);

enum class ReplaceResult { done, cannotCreate, cannotWrite };

// Writes `contents` to a new file beside `name`, flushes it to the disk,
// renames it over `name` and flushes the folder. A crash or a failure at any
// step leaves the old file whole, and a failed replacement leaves no new file
// behind. A symbolic link keeps pointing where it did: the file it names gets
// the contents. The file keeps its permission bits. cannotCreate means that
// not even the new file could be made, or that `name` is no regular file.
ReplaceResult replaceFile(const char* name, std::string_view contents);

}  // namespace platform

namespace platform {

// True when something (a file, a folder, a link) exists under `name`.
bool pathExists(const char* name);

}  // namespace platform
