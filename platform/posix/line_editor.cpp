#include "platform/line_editor.hpp"

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
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
TerminalText terminalCharset = TerminalText::utf8;

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

// A byte from a cp932 terminal that is no character of its own, or a pair
// that would not come back as the same two bytes, stands in the line
// editor as a private character of its own, one column wide as the byte is
// on the terminal, and goes back to the terminal and the program as itself.
constexpr wchar_t rawByteBase = 0xF700;

wchar_t rawByte(unsigned char byte) { return rawByteBase + byte; }

wchar_t decodeUtf8(const unsigned char* bytes, std::size_t count) {
    if (count == 1) return bytes[0];
    wchar_t value = bytes[0] & (0x7F >> count);
    for (std::size_t i = 1; i < count; ++i) value = (value << 6) | (bytes[i] & 0x3F);
    return value;
}

// The one character that the cp932 bytes (one, or a lead and a trail byte)
// stand for, when it turns back into the same bytes; 0 otherwise.
wchar_t cp932Character(std::string_view bytes) {
    Cp932Carry carry;
    std::string unicode = cp932ToUtf8(bytes, carry);
    if (!carry.leadByte.empty() || unicode.empty()) return 0;
    Utf8Start start = scanUtf8Char(unicode);
    if (!start.complete || static_cast<std::size_t>(start.length) != unicode.size()) return 0;
    wchar_t character = decodeUtf8(reinterpret_cast<const unsigned char*>(unicode.data()), unicode.size());
    if (character == replacementCharacter || utf8ToCp932(unicode) != bytes) return 0;
    return character;
}

// Text of a cp932 terminal (the prompt) in the line editor's UTF-8.
std::string cp932ToEditorText(std::string_view text) {
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        auto byte = static_cast<unsigned char>(text[at]);
        std::size_t length = isCp932LeadByte(byte) && at + 1 < text.size() &&
                                     isCp932TrailByte(static_cast<unsigned char>(text[at + 1]))
                                 ? 2
                                 : 1;
        wchar_t character = byte < 0x80 ? byte : cp932Character(text.substr(at, length));
        if (character == 0) {
            character = rawByte(byte);
            length = 1;
        }
        appendUtf8(shown, static_cast<std::uint32_t>(character));
        at += length;
    }
    return shown;
}

// The line editor's UTF-8 back in a cp932 terminal's bytes. A character cut
// off at the end of `text` waits in `carry` for the rest.
std::string editorTextToCp932(std::string_view text, std::string& carry) {
    std::string joined = std::move(carry);
    carry.clear();
    joined.append(text);
    std::string bytes;
    std::string_view rest = joined;
    std::size_t run = 0;  // characters that convert as they are
    auto convertRun = [&] {
        if (run > 0) bytes += utf8ToCp932(rest.substr(0, run));
        rest.remove_prefix(run);
        run = 0;
    };
    while (run < rest.size()) {
        Utf8Start start = scanUtf8Char(rest.substr(run));
        auto length = static_cast<std::size_t>(start.length);
        if (!start.complete && run + length == rest.size()) {
            convertRun();
            carry.assign(rest);
            return bytes;
        }
        wchar_t character =
            start.complete ? decodeUtf8(reinterpret_cast<const unsigned char*>(rest.data() + run), length) : 0;
        if (character >= rawByte(0x80) && character <= rawByte(0xFF)) {
            convertRun();
            bytes += static_cast<char>(character - rawByteBase);
            rest.remove_prefix(length);
        } else {
            run += length;
        }
    }
    convertRun();
    return bytes;
}

// What the line editor draws goes to a cp932 terminal through this stream.
std::string outputCarry;

ssize_t writeToCp932Terminal(void*, const char* data, std::size_t size) {
    std::string bytes = editorTextToCp932(std::string_view(data, size), outputCarry);
    if (int error = writeStream(Stream::output, bytes); error != 0) {
        errno = error;
        return -1;
    }
    return static_cast<ssize_t>(size);
}

FILE* cp932TerminalStream() {
    cookie_io_functions_t functions{};
    functions.write = writeToCp932Terminal;
    return ::fopencookie(nullptr, "w", functions);
}

char* showPrompt(EditLine*) { return promptText.data(); }

// The line editor takes its character set from the C library's character
// type: the user's locale when it speaks UTF-8, or else the C library's own
// UTF-8 locale (the terminal speaks UTF-8 even when no locale says so).
// Numbers and messages follow other parts of the locale, left as they are.
bool useUtf8CharacterType() {
    for (const char* name : {"", "C.UTF-8", "C.utf8"}) {
        if (std::setlocale(LC_CTYPE, name) != nullptr && charsetNamed(::nl_langinfo(CODESET)).kind == ConsoleCharset::Kind::utf8) return true;
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

// Reads one character of a cp932 terminal: a byte of its own, or a lead
// byte and its trail byte. A lead byte followed by no trail byte stands
// alone, and the byte after it starts the next character.
int readCp932Character(EditLine* el, wchar_t* character) {
    unsigned char lead = 0;
    int got = nextByte(el, lead);
    if (got <= 0) return got;
    if (lead < 0x80) {
        *character = lead;
        return 1;
    }
    char bytes[2] = {static_cast<char>(lead), 0};
    std::size_t count = 1;
    if (isCp932LeadByte(lead)) {
        unsigned char trail = 0;
        got = nextByte(el, trail);
        if (got < 0) return got;
        if (got == 0) {
            endPending = true;
        } else if (isCp932TrailByte(trail)) {
            bytes[1] = static_cast<char>(trail);
            count = 2;
        } else {
            carriedByte = trail;
        }
    }
    *character = cp932Character(std::string_view(bytes, count));
    if (*character == 0) {
        *character = rawByte(lead);
        if (count == 2) carriedByte = static_cast<unsigned char>(bytes[1]);
    }
    return 1;
}

// Reads one character for the line editor. A broken UTF-8 sequence becomes
// U+FFFD, which the console turns into "?" as it does for any line.
int readCharacter(EditLine* el, wchar_t* character) {
    if (!modeNoted) {
        noteLineEditMode();
        modeNoted = true;
    }
    if (endPending) return 0;
    if (terminalCharset == TerminalText::cp932) return readCp932Character(el, character);
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

bool startLineEditor(const std::string& programName, TerminalText charset) {
    if (editor != nullptr) return true;
    if (!useUtf8CharacterType()) return false;
    terminalCharset = charset;
    FILE* shown = charset == TerminalText::cp932 ? cp932TerminalStream() : stdout;
    if (shown == nullptr) return false;
    editor = el_init_fd(programName.c_str(), stdin, shown, stderr, 0, 1, 2);
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
    if (terminalCharset == TerminalText::cp932) {
        promptText = cp932ToEditorText(prompt);
    } else {
        promptText.assign(prompt);
    }
    modeNoted = false;
    beginLineEdit();
    int count = 0;
    const char* got = el_gets(editor, &count);
    int error = errno;
    endLineEdit();
    if (got == nullptr || count <= 0) return {0, count < 0 ? (error != 0 ? error : EIO) : 0};
    line.assign(got, static_cast<std::size_t>(count));
    remember(line);
    if (terminalCharset == TerminalText::cp932) {
        std::string unfinished;
        line = editorTextToCp932(line, unfinished);
    }
    return {line.size(), 0};
}

}  // namespace platform
