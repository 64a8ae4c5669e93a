#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Data files by name in the current folder: reading in small chunks and
// safe whole-file replacement.
namespace platform {

// A regular file open for reading, a chunk at a time; closed when destroyed.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // False when the file cannot be opened, or when the name is no regular
    // file (a folder, a pipe, a device).
    bool open(const char* name);

    // Reads up to `size` bytes: how many it read, 0 at the end of the file,
    // -1 on a read error.
    long read(char* buffer, std::size_t size);

private:
    std::intptr_t handle_ = -1;
};

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
