#include "platform/console_device.hpp"

#include <cerrno>
#include <unistd.h>

namespace platform {

void writeStream(Stream stream, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(static_cast<int>(stream), bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return;  // the console is gone; there is nobody left to tell
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

std::size_t readInput(char* buffer, std::size_t size) {
    for (;;) {
        ssize_t got = ::read(0, buffer, size);
        if (got < 0 && errno == EINTR) continue;
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
}

bool isConsole(Stream stream) { return ::isatty(static_cast<int>(stream)) == 1; }

// A terminal's settings are put back after every key wait (terminal.cpp).
void releaseConsole() {}

}  // namespace platform
