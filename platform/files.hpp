#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Data files by name in the current folder: reading in small chunks, safe
// whole-file replacement, and the lock that every writer holds.
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

// The lock of the folder that holds `name`, which every writer of the data
// files in that folder holds while it reads what it will change and
// replaces the file: two writers never interleave. It blocks until the lock
// is free and holds it until destroyed. The folder itself is locked, so no
// lock file is ever left behind. A program may hold it again while it holds
// it (the enemy dialogue reads, then writes). Where the folder cannot be
// locked (no read permission on it, a file system without locks), the
// writer goes on without it.
class FolderLock {
public:
    explicit FolderLock(const char* name);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    std::intptr_t handle_ = -1;  // a lock of its own; -1 when the program's lock is shared
    bool counted_ = false;
};

enum class ReplaceResult { done, cannotCreate, cannotWrite };

// Writes `contents` to a new file beside `name`, flushes it to the disk,
// renames it over `name` and flushes the folder, holding the FolderLock of
// `name` meanwhile. A crash or a failure at any step leaves the old file
// whole, and a failed replacement leaves no new file behind; where the
// system can, the new file has no name until it is complete, and a
// temporary file that a killed writer of the same file left behind is
// removed. A symbolic link keeps pointing where it did: the file it names
// gets the contents. The file keeps its permission bits and, where the
// system allows, its owner and group.
// cannotCreate: not even the new file could be made, `name` is no regular
// file, or it is a file that this user could not open for writing (its
// mode, its owner, an immutable flag, a read-only file system); it is then
// left untouched.
ReplaceResult replaceFile(const char* name, std::string_view contents);

// Whether replaceFile(name, ...) may go ahead: `name` is a regular file that
// this user may open for writing, or nothing yet, and its folder takes new
// files. Asked before a dialogue, so that a file that cannot be replaced is
// told at once rather than after every answer; a write may still fail.
bool mayReplaceFile(const char* name);

// True when something (a file, a folder, a link) exists under `name`.
bool pathExists(const char* name);

// A write beyond the file-size limit fails as on a full disk instead of
// ending the program by a signal. Called once at the start of each program.
void ignoreFileSizeSignal();

}  // namespace platform
