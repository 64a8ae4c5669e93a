#include "platform/files.hpp"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

InputFile::~InputFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool InputFile::open(const char* name) {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = -1;
    // Non-blocking only so that opening a pipe cannot hang; it is refused below.
    int fd = ::open(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return false;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);  // a folder, a pipe or a device holds no data file
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    handle_ = fd;
    return true;
}

long InputFile::read(char* buffer, std::size_t size) {
    if (handle_ < 0) return -1;
    for (;;) {
        ssize_t got = ::read(static_cast<int>(handle_), buffer, size);
        if (got < 0 && errno == EINTR) continue;
        return got < 0 ? -1 : static_cast<long>(got);
    }
}

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;  // a full disk, a quota, an I/O error
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string folderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Where the new contents go: the file itself, or the file that a symbolic
// link (or a chain of them) names, so that the link stays a link and its
// file gets the contents, as writing through the link would do.
struct Target {
    std::string path;
    bool exists = false;
    mode_t mode = 0;
};

bool resolveTarget(const char* name, Target& target) {
    std::string path = name;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0) {
            if (errno != ENOENT) return false;
            target.path = path;  // a new file, made here
            return true;
        }
        if (S_ISLNK(info.st_mode)) {
            char link[4096];
            ssize_t length = ::readlink(path.c_str(), link, sizeof link);
            if (length <= 0 || static_cast<std::size_t>(length) >= sizeof link) return false;
            std::string next(link, static_cast<std::size_t>(length));
            path = (next.front() == '/' || path.find('/') == std::string::npos)
                       ? next
                       : folderOf(path) + "/" + next;
            continue;
        }
        if (!S_ISREG(info.st_mode)) return false;  // a folder, a device, a pipe
        target.path = path;
        target.exists = true;
        target.mode = info.st_mode & 07777;
        return true;
    }
    return false;  // a loop of links
}

// Makes a new, empty file beside the target under a name that no other file
// has; never opens an existing file or follows a link.
int createTemporary(const Target& target, std::string& temporary) {
    std::string stem = folderOf(target.path) + "/." + baseOf(target.path) + ".tmp" + std::to_string(::getpid());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = stem + "-" + std::to_string(attempt);
        int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Makes the rename itself durable. A file system that cannot sync a folder
// says so with EINVAL; that is no failure of the write.
bool syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return true;  // nothing to sync through; the rename is done
    bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return ok;
}

}  // namespace

ReplaceResult replaceFile(const char* name, std::string_view contents) {
    Target target;
    if (!resolveTarget(name, target)) return ReplaceResult::cannotCreate;
    std::string temporary;
    int fd = createTemporary(target, temporary);
    if (fd < 0) return ReplaceResult::cannotCreate;

    bool ok = !target.exists || ::fchmod(fd, target.mode) == 0;
    ok = ok && writeAll(fd, contents);
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temporary.c_str(), target.path.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return ReplaceResult::cannotWrite;
    }
    return syncFolder(folderOf(target.path)) ? ReplaceResult::done : ReplaceResult::cannotWrite;
}

}  // namespace platform

namespace platform {

bool pathExists(const char* name) {
    struct stat status {};
    return ::lstat(name, &status) == 0;
}

}  // namespace platform
