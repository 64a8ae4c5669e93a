#include "platform/alternate_screen.hpp"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

#include "platform/terminal.hpp"

namespace platform {
namespace {

// The switch, and the cursor to the top left corner of the new screen.
constexpr std::string_view enterSequence = "\x1b[?1049h\x1b[H";
constexpr std::string_view leaveSequence = "\x1b[?1049l";

volatile sig_atomic_t onAlternate = 0;

// The output since the screen was last cleared, as far as it fits: a screen
// never shows more than its last lines, and a turn of the game prints a few.
char screenBytes[1 << 15];
std::size_t screenSize = 0;
bool screenCut = false;  // its start was dropped to make room

// While the record changes, a continued program leaves its redraw to the
// change's end, so that it never draws half a record.
volatile sig_atomic_t recordBusy = 0;
volatile sig_atomic_t redrawDue = 0;

// Writes to standard output with nothing but system calls, as a signal
// handler may. Returns 0 or the system's number for the failure.
int writeRaw(std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(1, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return written < 0 ? errno : EIO;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// Clears the screen and shows the record again. A record whose start was
// dropped starts at its first whole line.
void redraw() {
    std::string_view shown(screenBytes, screenSize);
    if (screenCut) {
        std::size_t lineEnd = shown.find('\n');
        shown.remove_prefix(lineEnd == std::string_view::npos ? shown.size() : lineEnd + 1);
    }
    int savedErrno = errno;
    if (writeRaw(clearSequence) == 0) writeRaw(shown);
    errno = savedErrno;
}

void keep(std::string_view bytes) {
    const std::size_t room = sizeof screenBytes;
    if (bytes.size() >= room) {
        bytes.remove_prefix(bytes.size() - room);
        screenSize = 0;
        screenCut = true;
    } else if (screenSize + bytes.size() > room) {
        std::size_t drop = screenSize + bytes.size() - room;
        std::memmove(screenBytes, screenBytes + drop, screenSize - drop);
        screenSize -= drop;
        screenCut = true;
    }
    std::memcpy(screenBytes + screenSize, bytes.data(), bytes.size());
    screenSize += bytes.size();
}

}  // namespace

int enterAlternateScreen() {
    guardTerminal();
    // On it before the switch is written, so that a signal in between
    // switches back rather than leave the terminal on it.
    onAlternate = 1;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    return writeRaw(enterSequence);
}

bool onAlternateScreen() { return onAlternate != 0; }

bool leaveAlternateScreen() {
    if (!onAlternate) return false;
    onAlternate = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    int savedErrno = errno;
    writeRaw(leaveSequence);
    errno = savedErrno;
    return true;
}

void returnToAlternateScreen() {
    int savedErrno = errno;
    writeRaw(enterSequence);  // a fresh, blank screen
    errno = savedErrno;
    onAlternate = 1;
    if (recordBusy) {
        redrawDue = 1;
    } else {
        redraw();
    }
}

void noteScreenOutput(std::string_view bytes) {
    if (!onAlternate) return;
    recordBusy = 1;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    // Whatever came before the last clear is no longer on the screen.
    std::size_t clear = bytes.rfind(clearSequence);
    if (clear != std::string_view::npos) {
        bytes.remove_prefix(clear + clearSequence.size());
        screenSize = 0;
        screenCut = false;
    }
    keep(bytes);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    recordBusy = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    if (redrawDue) {
        redrawDue = 0;
        redraw();
    }
}

}  // namespace platform
