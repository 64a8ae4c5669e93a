#include "platform/files.hpp"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool readWholeFile(const char* name, std::string& contents) {
    contents.clear();
    int fd = ::open(name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char chunk[8192];
    bool ok = true;
    for (;;) {
        ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            ok = false;  // a folder, or an unreadable file
            break;
        }
        if (got == 0) break;
        contents.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return ok;
}

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

ReplaceResult replaceFile(const char* name, std::string_view contents) {
    std::string temporary = std::string(name) + ".tmp" + std::to_string(::getpid());
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return ReplaceResult::cannotCreate;
    bool ok = writeAll(fd, contents);
    ok = (::fsync(fd) == 0) && ok;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temporary.c_str(), name) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return ReplaceResult::cannotWrite;
    }
    return ReplaceResult::done;
}

}  // namespace platform

namespace platform {

bool pathExists(const char* name) {
    struct stat status {};
    return ::lstat(name, &status) == 0;
}

}  // namespace platform
