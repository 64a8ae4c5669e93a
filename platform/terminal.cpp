#include "platform/terminal.hpp"

#include <cerrno>
#include <csignal>
#include <initializer_list>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace platform {
namespace {

termios savedSettings;
volatile sig_atomic_t rawActive = 0;
bool guardsInstalled = false;

void applyRawMode() {
    termios raw = savedSettings;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    ::tcsetattr(0, TCSANOW, &raw);
}

void restoreMode() { ::tcsetattr(0, TCSANOW, &savedSettings); }

void onEndingSignal(int sig) {
    if (rawActive) restoreMode();
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

void onStopSignal(int);

void installStopHandler() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTSTP, &action, nullptr);
}

void onStopSignal(int) {
    int savedErrno = errno;
    if (rawActive) restoreMode();
    ::signal(SIGTSTP, SIG_DFL);
    sigset_t stopSet;
    sigemptyset(&stopSet);
    sigaddset(&stopSet, SIGTSTP);
    ::sigprocmask(SIG_UNBLOCK, &stopSet, nullptr);
    ::raise(SIGTSTP);  // the process stops here until it is continued
    installStopHandler();
    if (rawActive) applyRawMode();
    errno = savedErrno;
}

void onContinueSignal(int) {
    int savedErrno = errno;
    if (rawActive) applyRawMode();
    errno = savedErrno;
}

void installGuards() {
    if (guardsInstalled) return;
    guardsInstalled = true;
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        struct sigaction action {};
        action.sa_handler = onEndingSignal;
        sigemptyset(&action.sa_mask);
        ::sigaction(sig, &action, nullptr);
    }
    installStopHandler();
    struct sigaction action {};
    action.sa_handler = onContinueSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGCONT, &action, nullptr);
}

// Reads one byte; false when nothing more came within `waitMs` (or ever).
bool readByte(unsigned char& byte, int waitMs) {
    for (;;) {
        if (waitMs >= 0) {
            pollfd fd{0, POLLIN, 0};
            int ready = ::poll(&fd, 1, waitMs);
            if (ready < 0 && errno == EINTR) continue;
            if (ready <= 0) return false;
        }
        ssize_t got = ::read(0, &byte, 1);
        if (got < 0 && errno == EINTR) continue;
        return got == 1;
    }
}

// How many bytes follow `lead` in one UTF-8 character.
int utf8Continuations(unsigned char lead) {
    if (lead >= 0xF0) return 3;
    if (lead >= 0xE0) return 2;
    if (lead >= 0xC0) return 1;
    return 0;
}

void readOneKey() {
    unsigned char first = 0;
    if (!readByte(first, -1)) return;
    unsigned char next = 0;
    if (first == 0x1B) {
        // An escape sequence arrives at once; a lone Escape key does not.
        while (readByte(next, 30)) {
        }
        return;
    }
    for (int rest = utf8Continuations(first); rest > 0; --rest) {
        if (!readByte(next, 30)) return;
    }
}

}  // namespace

void readKeyPress() {
    if (::tcgetattr(0, &savedSettings) != 0) {
        unsigned char ignored = 0;
        readByte(ignored, -1);
        return;
    }
    installGuards();
    rawActive = 1;
    applyRawMode();
    readOneKey();
    rawActive = 0;
    restoreMode();
}

}  // namespace platform
