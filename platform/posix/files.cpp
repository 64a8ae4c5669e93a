#include "platform/files.hpp"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

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

}  // namespace

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

// The lock that this program holds, counted, so that holding it again
// while it is held does not wait for itself.
struct ProgramLock {
    std::string folder;
    int fd = -1;
    int depth = 0;
};

ProgramLock& programLock() {
    static ProgramLock lock;
    return lock;
}

// An open folder with its lock taken, or -1 when it cannot be locked.
int lockFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return -1;
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            ::close(fd);
            return -1;
        }
    }
    return fd;
}

}  // namespace

FolderLock::FolderLock(const char* name) {
    std::string folder = folderOf(name);
    ProgramLock& held = programLock();
    if (held.depth > 0 && held.folder != folder) {
        handle_ = lockFolder(folder);  // a second folder at the same time
        return;
    }
    if (held.depth == 0) {
        held.folder = folder;
        held.fd = lockFolder(folder);
    }
    ++held.depth;
    counted_ = true;
}

FolderLock::~FolderLock() {
    if (!counted_) {
        if (handle_ >= 0) ::close(static_cast<int>(handle_));
        return;
    }
    ProgramLock& held = programLock();
    if (--held.depth == 0 && held.fd >= 0) {
        ::close(held.fd);  // closing the folder gives the lock up
        held.fd = -1;
    }
}

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;  // a full disk, a quota, a size limit, an I/O error
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Where the new contents go: the file itself, or the file that a symbolic
// link (or a chain of them) names, so that the link stays a link and its
// file gets the contents, as writing through the link would do.
struct Target {
    std::string path;
    bool exists = false;
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
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
        return true;
    }
    return false;  // a loop of links
}

// Replacing may do no more than opening the file for writing would: the
// kernel itself judges the mode, the owner, an immutable flag and a
// read-only file system. Opening changes nothing in the file; it also gives
// the mode, owner and group that the new file keeps.
bool mayWrite(Target& target) {
    int fd = ::open(target.path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    if (!regular) return false;
    target.mode = info.st_mode & 07777;
    target.owner = info.st_uid;
    target.group = info.st_gid;
    return true;
}

// The new file takes the old one's owner and group where this user may give
// them (root may; anyone may give a group of their own), then its mode,
// which a change of owner could have cut.
bool keepOwnerAndMode(int fd, const Target& target) {
    if (!target.exists) return true;
    if (::fchown(fd, target.owner, target.group) != 0) {
        if (errno != EPERM) return false;
        if (::fchown(fd, static_cast<uid_t>(-1), target.group) != 0 && errno != EPERM) return false;
    }
    return ::fchmod(fd, target.mode) == 0;
}

std::string temporaryStem(const Target& target) {
    return folderOf(target.path) + "/." + baseOf(target.path) + ".tmp" + std::to_string(::getpid()) + "-";
}

// The pid in the name of a temporary file of `base` (".base.tmp<pid>-<n>"),
// or 0 when the name is no such file.
long temporaryWriter(const char* name, const std::string& prefix) {
    std::string_view rest(name);
    if (!rest.starts_with(prefix)) return 0;
    rest.remove_prefix(prefix.size());
    long pid = 0;
    std::size_t at = 0;
    for (; at < rest.size() && at < 10 && rest[at] >= '0' && rest[at] <= '9'; ++at) pid = pid * 10 + (rest[at] - '0');
    if (at == 0 || at >= rest.size() || rest[at] != '-') return 0;
    std::size_t digits = ++at;
    while (at < rest.size() && rest[at] >= '0' && rest[at] <= '9') ++at;
    return at > digits && at == rest.size() ? pid : 0;
}

// A writer killed between naming its temporary file and renaming it left
// that file behind; the next write of the same file removes it once no
// process of that pid runs any more. Called under the folder's lock.
void removeAbandonedTemporaries(const Target& target) {
    std::string folder = folderOf(target.path);
    std::string prefix = ".";  // built in steps: GCC 12 misjudges "." + string as overlapping
    prefix += baseOf(target.path);
    prefix += ".tmp";
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    std::vector<std::string> abandoned;
    while (const dirent* entry = ::readdir(dir)) {
        long pid = temporaryWriter(entry->d_name, prefix);
        if (pid <= 0 || pid == ::getpid()) continue;
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) abandoned.push_back(entry->d_name);
    }
    for (const std::string& name : abandoned) ::unlinkat(::dirfd(dir), name.c_str(), 0);
    ::closedir(dir);
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

// Puts the complete temporary file in the target's place.
ReplaceResult moveIntoPlace(const std::string& temporary, const Target& target) {
    if (::rename(temporary.c_str(), target.path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return ReplaceResult::cannotWrite;
    }
    return syncFolder(folderOf(target.path)) ? ReplaceResult::done : ReplaceResult::cannotWrite;
}

// Gives a complete file without a name a temporary name beside the target,
// through /proc or, without it, AT_EMPTY_PATH. False when neither works.
bool nameUnnamedFile(int fd, const Target& target, std::string& temporary) {
    std::string stem = temporaryStem(target);
    std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = stem + std::to_string(attempt);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
        if (errno == EEXIST) continue;
#ifdef AT_EMPTY_PATH
        if (::linkat(fd, "", AT_FDCWD, temporary.c_str(), AT_EMPTY_PATH) == 0) return true;
        if (errno == EEXIST) continue;
#endif
        return false;
    }
    return false;
}

enum class Unnamed { unsupported, done, cannotWrite };

// The file is written without a name (O_TMPFILE), so that a writer killed
// before it is complete leaves nothing behind; it is named only for the
// rename. `unsupported` when the system or the file system cannot do this.
Unnamed replaceThroughUnnamedFile(const Target& target, std::string_view contents, ReplaceResult& result) {
#ifdef O_TMPFILE
    int fd = ::open(folderOf(target.path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) return Unnamed::unsupported;
    bool ok = keepOwnerAndMode(fd, target) && writeAll(fd, contents) && ::fsync(fd) == 0;
    std::string temporary;
    if (ok && !nameUnnamedFile(fd, target, temporary)) {
        ::close(fd);
        return Unnamed::unsupported;
    }
    if (::close(fd) != 0 && ok) {
        ::unlink(temporary.c_str());
        ok = false;
    }
    if (!ok) return Unnamed::cannotWrite;  // the file had no name: nothing is left
    result = moveIntoPlace(temporary, target);
    return Unnamed::done;
#else
    (void)target;
    (void)contents;
    (void)result;
    return Unnamed::unsupported;
#endif
}

// Makes a new, empty file beside the target under a name that no other file
// has; never opens an existing file or follows a link.
int createTemporary(const Target& target, std::string& temporary) {
    std::string stem = temporaryStem(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = stem + std::to_string(attempt);
        int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

ReplaceResult replaceThroughNamedFile(const Target& target, std::string_view contents) {
    std::string temporary;
    int fd = createTemporary(target, temporary);
    if (fd < 0) return ReplaceResult::cannotCreate;
    bool ok = keepOwnerAndMode(fd, target) && writeAll(fd, contents) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        ::unlink(temporary.c_str());
        return ReplaceResult::cannotWrite;
    }
    return moveIntoPlace(temporary, target);
}

}  // namespace

ReplaceResult replaceFile(const char* name, std::string_view contents) {
    FolderLock lock(name);
    Target target;
    if (!resolveTarget(name, target)) return ReplaceResult::cannotCreate;
    if (target.exists && !mayWrite(target)) return ReplaceResult::cannotCreate;
    removeAbandonedTemporaries(target);
    ReplaceResult result = ReplaceResult::cannotWrite;
    switch (replaceThroughUnnamedFile(target, contents, result)) {
    case Unnamed::done:
        return result;
    case Unnamed::cannotWrite:
        return ReplaceResult::cannotWrite;
    case Unnamed::unsupported:
        break;
    }
    return replaceThroughNamedFile(target, contents);
}

bool mayReplaceFile(const char* name) {
    Target target;
    if (!resolveTarget(name, target)) return false;
    if (target.exists && !mayWrite(target)) return false;
    // The new file is made beside the old one and renamed over it.
    return ::faccessat(AT_FDCWD, folderOf(target.path).c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

bool pathExists(const char* name) {
    struct stat status {};
    return ::lstat(name, &status) == 0;
}

void ignoreFileSizeSignal() { ::signal(SIGXFSZ, SIG_IGN); }

}  // namespace platform
