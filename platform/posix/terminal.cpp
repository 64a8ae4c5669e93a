#include "platform/terminal.hpp"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>

#include "platform/alternate_screen.hpp"
#include "platform/text_encoding.hpp"

namespace platform {
namespace {

// The bytes of one key press are written together by the terminal; this is
// how long a byte may lag behind the one before it and still belong to it.
constexpr int followingByteMs = 50;

// No key sends more bytes than this; a longer run (pasted text, an endless
// escape sequence) ends the press there, and the rest waits for later reads.
constexpr std::size_t longestKeyPress = 32;

// The terminal's own settings, and the ones the program waits with (raw for
// a key press, the line editor's for a line); `modeActive` while the program
// has the terminal in the latter.
termios savedSettings;
termios waitSettings;
volatile sig_atomic_t modeActive = 0;
volatile sig_atomic_t continued = 0;
volatile sig_atomic_t resized = 0;
bool guardsInstalled = false;

// The signals that end the program by default and may come from outside at
// any moment: each restores the terminal before it ends the program. SIGXFSZ
// is left out: the programs ignore it, so that a file-size limit makes a
// write fail instead of ending the program. Real-time signals come on top.
constexpr int endingSignals[] = {
    SIGHUP, SIGINT, SIGQUIT, SIGABRT, SIGUSR1, SIGUSR2, SIGPIPE, SIGALRM, SIGTERM, SIGXCPU,
    SIGVTALRM, SIGPROF, SIGIO,
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
};

// The signals of a fault in the program itself, raised by the instruction
// that faulted. They restore the terminal too, unless a sanitizer has taken
// them over for its report (a handler is then there already, and it stays).
constexpr int faultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS};

termios rawSettings(const termios& settings) {
    termios raw = settings;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    return raw;
}

void applyWaitMode() { ::tcsetattr(0, TCSANOW, &waitSettings); }

void restoreMode() { ::tcsetattr(0, TCSANOW, &savedSettings); }

void onEndingSignal(int sig) {
    restoreTerminal();
    ::signal(sig, SIG_DFL);
    ::raise(sig);  // delivered, with its default action, once this handler returns
}

void onStopSignal(int);

void installStopHandler() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTSTP, &action, nullptr);
}

// A stop gives the user the terminal as they had it: its settings, and its
// own screen for the shell. Continued, the program gets its settings and its
// screen back, drawn again.
void onStopSignal(int) {
    int savedErrno = errno;
    if (modeActive) restoreMode();
    bool leftScreen = leaveAlternateScreen();
    ::signal(SIGTSTP, SIG_DFL);
    sigset_t stopSet;
    sigemptyset(&stopSet);
    sigaddset(&stopSet, SIGTSTP);
    ::sigprocmask(SIG_UNBLOCK, &stopSet, nullptr);
    ::raise(SIGTSTP);  // the process stops here until it is continued
    installStopHandler();
    if (leftScreen) returnToAlternateScreen();
    if (modeActive) applyWaitMode();
    continued = 1;
    errno = savedErrno;
}

void onContinueSignal(int) {
    int savedErrno = errno;
    if (modeActive) applyWaitMode();
    continued = 1;
    errno = savedErrno;
}

void onResizeSignal(int) { resized = 1; }

bool ignored(int sig) {
    struct sigaction current {};
    return ::sigaction(sig, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

// Whether `sig` still does what it does by default: not ignored, as the
// program may have been started, and not handled by anyone else.
bool atDefault(int sig) {
    struct sigaction current {};
    return ::sigaction(sig, nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) == 0 &&
           current.sa_handler == SIG_DFL;
}

// Calls `use` for every signal that ends the program and may come at any
// moment: the fixed ones and the real-time ones.
template <typename Use>
void forEachEndingSignal(Use use) {
    for (int sig : endingSignals) use(sig);
    for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) use(sig);
}

void guard(int sig) {
    if (!atDefault(sig)) return;
    struct sigaction action {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(sig, &action, nullptr);
}

void installGuards() {
    if (guardsInstalled) return;
    guardsInstalled = true;
    forEachEndingSignal(guard);
    for (int sig : faultSignals) guard(sig);
    if (!ignored(SIGTSTP)) installStopHandler();
    struct sigaction action {};
    action.sa_handler = onContinueSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGCONT, &action, nullptr);
    // A change of the window's size only makes a note: every call that it
    // interrupts goes on by itself.
    if (atDefault(SIGWINCH)) {
        struct sigaction resize {};
        resize.sa_handler = onResizeSignal;
        resize.sa_flags = SA_RESTART;
        sigemptyset(&resize.sa_mask);
        ::sigaction(SIGWINCH, &resize, nullptr);
    }
}

// Holds back the guarded signals that may come from outside while the
// terminal mode and `modeActive` change together, so that no handler sees one
// without the other. (A fault signal cannot be held back: it comes from the
// program's own instruction.)
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        forEachEndingSignal([&](int sig) { sigaddset(&held, sig); });
        sigaddset(&held, SIGTSTP);
        sigaddset(&held, SIGCONT);
        sigaddset(&held, SIGWINCH);
        ::sigprocmask(SIG_BLOCK, &held, &before_);
        std::atomic_signal_fence(std::memory_order_seq_cst);
    }
    ~SignalsHeld() {
        std::atomic_signal_fence(std::memory_order_seq_cst);
        ::sigprocmask(SIG_SETMASK, &before_, nullptr);
    }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t before_;
};

enum class ByteRead { byte, none, failed };

// Reads one byte. `none` at the end of input, or when `waitMs` is not
// negative and nothing came within that time; `failed`, with `error` set,
// when the read failed. An interrupted read, and one that would block on a
// non-blocking terminal, wait and try again.
ByteRead readByte(unsigned char& byte, int waitMs, int& error) {
    for (;;) {
        if (waitMs >= 0) {
            pollfd fd{0, POLLIN, 0};
            int ready = ::poll(&fd, 1, waitMs);
            if (ready < 0 && errno == EINTR) continue;
            if (ready <= 0) return ByteRead::none;
        }
        ssize_t got = ::read(0, &byte, 1);
        if (got == 1) return ByteRead::byte;
        if (got == 0) return ByteRead::none;
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (waitMs < 0) {
                pollfd fd{0, POLLIN, 0};
                ::poll(&fd, 1, -1);
            }
            continue;
        }
        error = errno;
        return ByteRead::failed;
    }
}

// Returns 0, or the system's number for a read that failed.
int readOneKey(const ConsoleCharset& charset) {
    unsigned char byte = 0;
    int error = 0;
    if (readByte(byte, -1, error) != ByteRead::byte) return error;
    std::string bytes(1, static_cast<char>(byte));
    while (!keyPressComplete(bytes, charset) && bytes.size() < longestKeyPress) {
        ByteRead next = readByte(byte, followingByteMs, error);
        if (next == ByteRead::failed) return error;
        if (next == ByteRead::none) break;
        bytes += static_cast<char>(byte);
    }
    return 0;
}

// Saves the terminal's settings and turns off echo and line editing; false
// when standard input has no terminal settings to change.
bool enterRawMode() {
    SignalsHeld held;
    if (::tcgetattr(0, &savedSettings) != 0) return false;
    installGuards();
    waitSettings = rawSettings(savedSettings);
    modeActive = 1;
    applyWaitMode();
    return true;
}

void leaveRawMode() {
    SignalsHeld held;
    restoreMode();
    modeActive = 0;
}

}  // namespace

int readKeyPress(const ConsoleCharset& charset) {
    if (!enterRawMode()) {
        unsigned char ignoredByte = 0;
        int error = 0;
        readByte(ignoredByte, -1, error);
        return error;
    }
    int error = readOneKey(charset);
    leaveRawMode();
    return error;
}

void restoreTerminal() {
    int savedErrno = errno;
    if (modeActive) restoreMode();
    leaveAlternateScreen();
    errno = savedErrno;
}

void guardTerminal() {
    SignalsHeld held;
    installGuards();
}

void beginLineEdit() {
    SignalsHeld held;
    if (::tcgetattr(0, &savedSettings) != 0) return;
    installGuards();
    waitSettings = savedSettings;
    modeActive = 1;
    continued = 0;  // a stop before this line has nothing to do with it
}

void noteLineEditMode() {
    SignalsHeld held;
    if (modeActive) ::tcgetattr(0, &waitSettings);
}

// The line editor has put the terminal's own settings back itself.
void endLineEdit() {
    SignalsHeld held;
    modeActive = 0;
}

TerminalEvents takeTerminalEvents() {
    SignalsHeld held;
    TerminalEvents events{continued != 0, resized != 0};
    continued = 0;
    resized = 0;
    return events;
}

}  // namespace platform
