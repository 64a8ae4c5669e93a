#include "platform/line_editor.hpp"

#include <cerrno>
#include <clocale>
#include <csignal>
#include <histedit.h>
#include <langinfo.h>
#include <poll.h>
#include <unistd.h>

#include "platform/console.hpp"
#include "platform/terminal.hpp"
#include "platform/text_encoding.hpp"

namespace platform {
namespace {

EditLine* editor = nullptr;
History* lines = nullptr;

// Earlier lines that Up brings back; a line as long as the longest kept one
// is never worth bringing back (it matches no answer).
constexpr int historySize = 500;

// What the line editor shows before the line: the program's own prompt.
std::string promptText;

// Whether the line editor has set its terminal mode for the current line.
bool modeNoted = false;

// A byte that broke the character before it, and so starts the next one;
// and an end of input that came in the middle of a character.
int carriedByte = -1;
bool endPending = false;

constexpr wchar_t replacementCharacter = 0xFFFD;

char* showPrompt(EditLine*) { return promptText.data(); }

// The line editor takes its character set from the C library's character
// type: the user's locale when it speaks UTF-8, or else the C library's own
// UTF-8 locale (the terminal speaks UTF-8 even when no locale says so).
// Numbers and messages follow other parts of the locale, left as they are.
bool useUtf8CharacterType() {
    for (const char* name : {"", "C.UTF-8", "C.utf8"}) {
        if (std::setlocale(LC_CTYPE, name) != nullptr && isUtf8Codeset(::nl_langinfo(CODESET))) return true;
    }
    std::setlocale(LC_CTYPE, "C");
    return false;
}

// Redraws the line after a stop, and takes note of the window's new size,
// before the program waits again.
void answerTerminalEvents(EditLine* el) {
    TerminalEvents events = takeTerminalEvents();
    if (events.resized) el_resize(el);
    if (events.continued) el_set(el, EL_REFRESH);
}

// Waits until standard input has something to read. The signals that ask
// for a redraw are let in only while it waits, so that none comes between
// the look at what happened and the wait.
void waitForInput(EditLine* el) {
    sigset_t held;
    sigset_t before;
    sigemptyset(&held);
    sigaddset(&held, SIGCONT);
    sigaddset(&held, SIGTSTP);
    sigaddset(&held, SIGWINCH);
    ::sigprocmask(SIG_BLOCK, &held, &before);
    for (;;) {
        answerTerminalEvents(el);
        pollfd ready{0, POLLIN, 0};
        if (::ppoll(&ready, 1, nullptr, &before) >= 0 || errno != EINTR) break;
    }
    ::sigprocmask(SIG_SETMASK, &before, nullptr);
}

// 1 with a byte, 0 at the end of input, -1 when the read failed (errno says why).
int nextByte(EditLine* el, unsigned char& byte) {
    if (carriedByte >= 0) {
        byte = static_cast<unsigned char>(carriedByte);
        carriedByte = -1;
        return 1;
    }
    for (;;) {
        waitForInput(el);
        ssize_t got = ::read(0, &byte, 1);
        if (got == 1) return 1;
        if (got == 0) return 0;
        if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
        return -1;
    }
}

wchar_t decodeUtf8(const unsigned char* bytes, std::size_t count) {
    if (count == 1) return bytes[0];
    wchar_t value = bytes[0] & (0x7F >> count);
    for (std::size_t i = 1; i < count; ++i) value = (value << 6) | (bytes[i] & 0x3F);
    return value;
}

// Reads one character for the line editor. A broken UTF-8 sequence becomes
// U+FFFD, which the console turns into "?" as it does for any line.
int readCharacter(EditLine* el, wchar_t* character) {
    if (!modeNoted) {
        noteLineEditMode();
        modeNoted = true;
    }
    if (endPending) return 0;
    unsigned char bytes[4];
    std::size_t count = 0;
    for (;;) {
        int got = nextByte(el, bytes[count]);
        if (got <= 0) {
            if (count == 0) return got;
            endPending = got == 0;
            *character = replacementCharacter;
            return 1;
        }
        ++count;
        if (bytes[0] < 0x80) {
            *character = bytes[0];
            return 1;
        }
        if (bytes[0] < 0xC2 || bytes[0] > 0xF4) {
            *character = replacementCharacter;
            return 1;
        }
        Utf8Start start = scanUtf8Char(std::string_view(reinterpret_cast<const char*>(bytes), count));
        if (start.complete) {
            *character = decodeUtf8(bytes, count);
            return 1;
        }
        if (static_cast<std::size_t>(start.length) < count) {
            carriedByte = bytes[count - 1];
            *character = replacementCharacter;
            return 1;
        }
    }
}

void remember(std::string_view line) {
    if (line.ends_with('\n')) line.remove_suffix(1);
    if (line.empty() || line.size() > lineKeepLimit) return;
    HistEvent event;
    history(lines, &event, H_ENTER, std::string(line).c_str());
}

}  // namespace

bool startLineEditor(const std::string& programName) {
    if (editor != nullptr) return true;
    if (!useUtf8CharacterType()) return false;
    editor = el_init(programName.c_str(), stdin, stdout, stderr);
    lines = history_init();
    if (editor == nullptr || lines == nullptr) {
        if (editor != nullptr) el_end(editor);
        if (lines != nullptr) history_end(lines);
        editor = nullptr;
        lines = nullptr;
        return false;
    }
    HistEvent event;
    history(lines, &event, H_SETSIZE, historySize);
    history(lines, &event, H_SETUNIQUE, 1);
    el_set(editor, EL_EDITOR, "emacs");
    el_set(editor, EL_HIST, history, lines);
    el_set(editor, EL_PROMPT, showPrompt);
    el_set(editor, EL_GETCFN, readCharacter);
    return true;
}

InputRead readEditedLine(std::string_view prompt, std::string& line) {
    line.clear();
    promptText.assign(prompt);
    modeNoted = false;
    beginLineEdit();
    int count = 0;
    const char* got = el_gets(editor, &count);
    int error = errno;
    endLineEdit();
    if (got == nullptr || count <= 0) return {0, count < 0 ? (error != 0 ? error : EIO) : 0};
    line.assign(got, static_cast<std::size_t>(count));
    remember(line);
    return {line.size(), 0};
}

}  // namespace platform
