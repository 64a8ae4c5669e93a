#include "platform/console_device.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "platform/alternate_screen.hpp"
#include "platform/terminal.hpp"

namespace platform {
namespace {

// Waits until `fd` is ready for `events`; a stream marked non-blocking makes
// reads and writes fail with EAGAIN instead of waiting themselves.
void waitUntilReady(int fd, short events) {
    pollfd ready{fd, events, 0};
    while (::poll(&ready, 1, -1) < 0 && errno == EINTR) {
    }
}

bool wouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

// A standard stream that the program was started without is held by a
// stand-in that fails every read or write, so that no file the program opens
// later takes its number and receives the console's text. Input gets a stand-in
// open for writing only, output and error one open for reading only.
struct StandInStreams {
    StandInStreams() {
        for (int fd = 0; fd <= 2; ++fd) {
            if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
            int standIn = ::open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
            if (standIn >= 0 && standIn != fd) {
                ::dup2(standIn, fd);
                ::close(standIn);
            }
        }
    }
} standInStreams;

}  // namespace

int writeStream(Stream stream, std::string_view bytes) {
    const int fd = static_cast<int>(stream);
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            if (wouldBlock(errno)) {
                waitUntilReady(fd, POLLOUT);
                continue;
            }
            return errno;
        }
        if (written == 0) return EIO;  // nothing taken and no reason given: never more will be
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

InputRead readInput(char* buffer, std::size_t size) {
    for (;;) {
        ssize_t got = ::read(0, buffer, size);
        if (got >= 0) return {static_cast<std::size_t>(got), 0};
        if (errno == EINTR) continue;
        if (wouldBlock(errno)) {
            waitUntilReady(0, POLLIN);
            continue;
        }
        return {0, errno};
    }
}

std::string describeError(int error) { return std::strerror(error); }

bool isConsole(Stream stream) { return ::isatty(static_cast<int>(stream)) == 1; }

void releaseConsole() { restoreTerminal(); }

// The terminal's sequence, in the output, so that the record of the
// alternate screen sees the clear where it stands.
std::string_view clearConsoleWindow() { return clearSequence; }

}  // namespace platform
